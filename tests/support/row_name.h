#pragma once

// Readable names for the rows of a parameterised test: "r3_img9_png_img10_png" rather than "3".

#include <cstddef>
#include <string>
#include <string_view>

// The row's number, then each text with every run of characters that a test name cannot hold
// as one '_', cut after 20 characters.
inline std::string RowName(std::size_t index, std::string_view first, std::string_view second = {})
{
    std::string name = "r" + std::to_string(index);
    for (const std::string_view text : {first, second}) {
        if (text.empty())
            continue;
        name += '_';
        std::size_t written = 0;
        for (const char c : text) {
            const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
            if (written == 20 || (!plain && name.back() == '_'))
                continue;
            name += plain ? c : '_';
            ++written;
        }
    }
    return name;
}
