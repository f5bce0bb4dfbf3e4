#pragma once
// A file that grows by appends: the run's ".rpl" and ".rpi" work files. Every write goes to the disk at
// once, so each reports its own failure.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/file.h"
#include "sdk/ztl/ztl_string.h"

#include <cstddef>
#include <cstdint>

class CAppendingFile
{
public:
    // Opens the file for appending, creating it when missing; false when it cannot be opened.
    bool Open(const ZTL::string& name);
    // Its length when it was opened.
    std::uint64_t GetInitialLength() const { return m_initialLength; }
    // False when not every byte was written.
    bool Write(const void* data, std::size_t size);
    // A little-endian u32.
    bool WriteU32(std::uint32_t value);

private:
    Auxiliary::CFile m_file;
    std::uint64_t m_initialLength = 0;
};
