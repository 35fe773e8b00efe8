#pragma once
// A growable array of plain values over malloc/realloc. Nothing is thrown: an append that cannot get
// memory says so and leaves the array as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

// Test seam: the number of further allocations that may succeed; UnlimitedAllocations (the default)
// lets every one through. Lets the tests make memory run out at a chosen point.
constexpr int64_t UnlimitedAllocations = -1;
void SetAllocationLimit(int64_t allocations);
// realloc, unless the limit above is used up or the byte count overflows; null on failure.
void* TryReallocate(void* block, std::size_t count, std::size_t elementSize);

template <typename T>
class GrowableArray {
    static_assert(std::is_trivially_copyable_v<T>, "elements are moved with memcpy");

public:
    constexpr GrowableArray() = default;
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;
    ~GrowableArray() { std::free(items_); }

    uint32_t size() const { return size_; }
    uint32_t capacity() const { return capacity_; }
    T& operator[](uint32_t index) { return items_[index]; }
    const T& operator[](uint32_t index) const { return items_[index]; }

    // Amortised constant time; false when the array is full and no more memory can be had.
    bool append(const T& item)
    {
        if (size_ == capacity_ && !grow())
            return false;
        items_[size_++] = item;
        return true;
    }

    // The items behind the removed one move one place toward the front, in order.
    void removeAt(uint32_t index)
    {
        std::memmove(items_ + index, items_ + index + 1, (size_ - index - 1) * sizeof(T));
        --size_;
    }

    // Keeps the first count items; the memory stays for later appends.
    void truncate(uint32_t count)
    {
        if (count < size_)
            size_ = count;
    }

    void clear() { size_ = 0; }

    // Copies all of other's items, or, when no memory can be had, returns false and keeps its own.
    bool assign(const GrowableArray& other)
    {
        if (this == &other)
            return true;
        T* copy = nullptr;
        if (other.size_ != 0) {
            copy = static_cast<T*>(TryReallocate(nullptr, other.size_, sizeof(T)));
            if (copy == nullptr)
                return false;
            std::memcpy(copy, other.items_, other.size_ * sizeof(T));
        }
        std::free(items_);
        items_ = copy;
        size_ = capacity_ = other.size_;
        return true;
    }

    void swap(GrowableArray& other)
    {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    bool grow()
    {
        if (capacity_ > UINT32_MAX / 2)
            return false;
        const uint32_t capacity = capacity_ == 0 ? 16 : capacity_ * 2;
        T* items = static_cast<T*>(TryReallocate(items_, capacity, sizeof(T)));
        if (items == nullptr)
            return false;
        items_ = items;
        capacity_ = capacity;
        return true;
    }

    T* items_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};
