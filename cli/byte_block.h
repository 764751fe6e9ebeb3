// A buffer for blocks of text on their way through tarvoconv. Its bytes are
// not zero-filled: each is written before it is read, and clearing a block
// of the largest size would cost a run over a few bytes more than the run.
// It starts on a page, as the file's own bytes do in the system's cache, so
// that the system copies between the two at its fastest.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

class ByteBlock {
public:
    explicit ByteBlock(size_t size)
        : bytes_(static_cast<unsigned char*>(::operator new[](size, std::align_val_t(PageSize)))), size_(size)
    {
    }

    unsigned char* data() { return bytes_.get(); }
    size_t size() const { return size_; }

private:
    static const size_t PageSize = 4096;

    struct Release {
        void operator()(unsigned char* bytes) const { ::operator delete[](bytes, std::align_val_t(PageSize)); }
    };

    std::unique_ptr<unsigned char[], Release> bytes_;
    size_t size_;
};
