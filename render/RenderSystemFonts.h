// Internal to the render system: connects the platform font layer's face-match reports to the
// engine log. Kept apart so the platform layer never needs an engine header.
#pragma once

namespace vireo {

// Routes the font layer's lines to WriteLog at their own level. Each connection starts a
// fresh record, so every face is reported once in the log of each engine start.
void ConnectFontLog();

} // namespace vireo
