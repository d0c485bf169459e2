#pragma once
// An animated GIF written from pictures of red, green, blue bytes (top row first, all the same
// size): one palette for all of them, each picture after the first stored as the rectangle that
// changed since the one before, and the whole played in an endless loop.

#include <vector>

using Bytes = std::vector<unsigned char>;

struct Animation {
    int width = 0;
    int height = 0;
    int delayCentiseconds = 0; // how long each picture shows
    std::vector<Bytes> pictures;
};

Bytes GifFile(const Animation& animation);
