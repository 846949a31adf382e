// PNG files in tests: reading a saved frame back to check what it shows.
#pragma once
#include <numeric>
#include <string>
#include <vector>

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;  // top row first, three bytes a pixel
    const unsigned char* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
    double meanBrightness() const
    {
        return rgb.empty() ? 0 : std::accumulate(rgb.begin(), rgb.end(), 0.0) / rgb.size();
    }
};

bool readPng(const std::string& path, Picture* picture);  // false for a missing or unreadable file
