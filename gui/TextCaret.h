// The platform caret that follows the focused edit box, so an input method opens its
// candidate window beside the text being typed. It draws nothing: the edit box draws its
// own blinking caret.
#pragma once

#include <vireo/types.h>

class CGWnd;

namespace vireo::gui {

// Makes owner the caret's owner (if it is not yet) and puts the caret at sceneRect, scaled
// from scene to client coordinates of the engine's window.
void PlaceTextCaret(const CGWnd* owner, CGameEngine* engine, const RECT& sceneRect);
// Destroys the caret if owner holds it.
void ReleaseTextCaret(const CGWnd* owner);
// Destroys the caret if its owner is window or lies inside it: a hidden or disabled window's
// edit boxes get no frame update that could give the caret back themselves.
void ReleaseTextCaretWithin(const CGWnd* window);

} // namespace vireo::gui
