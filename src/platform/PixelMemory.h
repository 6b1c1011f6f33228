// Storage for large pixel arrays (textures, the back buffer). Big blocks are placed on 2 MB
// boundaries and offered to the kernel for transparent huge pages: the compositor walks texture
// rows that are each in a page of their own, and with 4 KB pages the address translations cost
// about a tenth of a frame on a sprite atlas.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace zepa {

// Never returns null: throws std::bad_alloc like operator new.
void* AllocatePixelMemory(std::size_t bytes);
void FreePixelMemory(void* block, std::size_t bytes) noexcept;

template <typename T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <typename U>
    PixelAllocator(const PixelAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(AllocatePixelMemory(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept { FreePixelMemory(block, count * sizeof(T)); }
    template <typename U>
    bool operator==(const PixelAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using PixelVector = std::vector<T, PixelAllocator<T>>;

}  // namespace zepa
