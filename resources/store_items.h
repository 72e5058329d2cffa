#pragma once

// The items of the program's resource store, in the order the main window's
// store holds them. This is the one list: the build (resources/CMakeLists.txt
// reads the quoted names below), the store packer, the main window's skin
// count and the tests all take it from here.

#include <string_view>

inline constexpr const char* kStoreItems[] = {
    "Tab_State_1",
    "Tab_State_2",
    "template.rtf",
    "skin01.jpg",
    "skin02.jpg",
    "skin03.jpg",
    "skin04.jpg",
    "skin05.jpg",
    "skin06.jpg",
    "skin07.jpg",
};

// How many skins the store holds: its items named "skinNN.jpg", numbered
// from 1 without gaps.
inline constexpr int kStoreSkinCount = [] {
    int count = 0;
    for (const std::string_view item : kStoreItems)
        count += item.starts_with("skin") ? 1 : 0;
    return count;
}();
