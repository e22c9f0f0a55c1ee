#pragma once

// Readable names for the rows of a parameterised test: "r3_img9_png_img10_png" rather than "3".

#include <cstddef>
#include <string>
#include <string_view>

// The row's number, then each text with every character that a test name cannot hold as '_'.
inline std::string RowName(std::size_t index, std::string_view first, std::string_view second = {})
{
    std::string name = "r" + std::to_string(index);
    for (const std::string_view text : {first, second}) {
        if (text.empty())
            continue;
        name += '_';
        for (const char c : text)
            name += (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ? c : '_';
    }
    return name;
}
