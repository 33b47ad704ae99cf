#include "PicturePreload.h"
#include "PngResource.h"

#include <utility>

namespace {
// The one preload of the process, if any.
PicturePreload* current = nullptr;

class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& held) : held(held) { AcquireSRWLockExclusive(&held); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&held); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;
    SRWLOCK& held;
};
}  // namespace

PicturePreload::PicturePreload(std::vector<int> ids)
{
    // A second preload at the same time stays empty: the first serves the process.
    if (ids.empty() || current) return;
    for (int id : ids) entries.push_back(Entry{id, {}, false});
    worker.Reset(CreateThread(nullptr, 0, &PicturePreload::DecodeAll, this, 0, nullptr));
    if (worker) {
        current = this;
    } else {
        entries.clear();
    }
}

PicturePreload::~PicturePreload()
{
    if (current == this) current = nullptr;
    {
        ExclusiveLock guard(lock);
        stopping = true;
    }
    if (worker) WaitForSingleObject(worker.Get(), INFINITE);
}

DWORD WINAPI PicturePreload::DecodeAll(void* self)
{
    auto& preload = *static_cast<PicturePreload*>(self);
    for (size_t i = 0;; ++i) {
        int id = 0;
        {
            ExclusiveLock guard(preload.lock);
            if (preload.stopping || i >= preload.entries.size()) return 0;
            id = preload.entries[i].id;
        }
        GdipPtr<Gdiplus::Image> picture = DecodePngResource(id);
        {
            ExclusiveLock guard(preload.lock);
            preload.entries[i].picture = std::move(picture);
            preload.entries[i].decoded = true;
        }
        WakeAllConditionVariable(&preload.progress);
    }
}

GdipPtr<Gdiplus::Image> PicturePreload::TakeOwn(int id)
{
    ExclusiveLock guard(lock);
    for (Entry& entry : entries) {
        if (entry.id != id) continue;
        while (!entry.decoded) SleepConditionVariableSRW(&progress, &lock, INFINITE, 0);
        GdipPtr<Gdiplus::Image> picture = std::move(entry.picture);
        if (picture && picture->GetLastStatus() != Gdiplus::Ok) picture.Reset();
        if (picture) return picture;
    }
    return {};
}

GdipPtr<Gdiplus::Image> PicturePreload::Take(int id)
{
    return current ? current->TakeOwn(id) : GdipPtr<Gdiplus::Image>();
}
