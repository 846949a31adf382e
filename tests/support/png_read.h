// Reading a PNG file back, to check what a saved frame shows.
#pragma once
#include <string>
#include <vector>

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first, three bytes a pixel
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    double meanBrightness() const;
};

// False when the file is missing or not a readable image.
bool readPng(const std::string& path, Picture* picture);
