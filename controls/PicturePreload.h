#pragma once
#include <windows.h>
#include <gdiplus.h>

#include <vector>

#include "UniqueHandle.h"

// Decodes some of the program's PNG pictures on a thread of its own while the program starts,
// so that the first frame finds them decoded. While one exists, LoadPngResource hands out its
// pictures (waiting for one still being decoded) instead of decoding them again; each picture is
// handed out once. GDI+ must be started before one is made and stay up until it is gone; it is
// made, used and destroyed on one thread.
class PicturePreload {
public:
    explicit PicturePreload(std::vector<int> ids);
    ~PicturePreload();
    PicturePreload(const PicturePreload&) = delete;
    PicturePreload& operator=(const PicturePreload&) = delete;

    // The decoded picture with this identifier, taken out of the preload; null when the id is not
    // among the preloaded, was taken already or did not decode (the caller then decodes it).
    static GdipPtr<Gdiplus::Image> Take(int id);

private:
    static DWORD WINAPI DecodeAll(void* self);
    GdipPtr<Gdiplus::Image> TakeOwn(int id);

    struct Entry {
        int id;
        GdipPtr<Gdiplus::Image> picture;
        bool decoded;
    };
    std::vector<Entry> entries;
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE progress = CONDITION_VARIABLE_INIT;
    bool stopping = false;
    UniqueKernelHandle worker;
};
