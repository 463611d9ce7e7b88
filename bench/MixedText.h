// The text the font benchmarks draw: English and Chinese sentences, numbers and punctuation,
// with a line break now and then, cut to a given number of characters.
#pragma once

#include <string>

inline std::wstring MixedText(int characters)
{
    const std::wstring pieces[] = {L"The quick brown fox jumps over the lazy dog. ",
                                   L"Vireo Engine 文字测试，你好世界。", L"Score: 12345 HP 99/100 ",
                                   L"中文与English混排的一段文字。\n"};
    std::wstring text;
    for (int i = 0; static_cast<int>(text.size()) < characters; ++i)
        text += pieces[i % 4];
    text.resize(static_cast<std::size_t>(characters));
    return text;
}
