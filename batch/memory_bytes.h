// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "batch/batch_run.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

// Bytes held in memory as a table's source or its results' sink: a template, a test's table.
namespace zhuheng::batch {

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, n);
        at_ += n;
        return n;
    }
    void rewind() override { at_ = 0; }
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::string bytes_;
    std::size_t at_ = 0;
};

class StringSink : public ByteSink {
public:
    void write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

} // namespace zhuheng::batch
