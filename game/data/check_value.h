#pragma once
// The check values that end the game's files, both appended high byte first to the byte buffer of a
// storing stream before it is written, and verified on the loaded buffer before its content is trusted.
//
// The 32-bit check value runs the reflected CRC-32 table (polynomial 0xEDB88320) from a register of 0,
// complements the register after every eighth byte and applies no final complement. It is therefore
// not the usual CRC-32, and stored files depend on exactly this computation.

#include <cstdint>
#include <span>
#include <vector>

// The 32-bit check value of the bytes; 0 for none.
std::uint32_t ComputeCheckValue(std::span<const std::uint8_t> bytes);
// Appends the check value of the buffer's bytes and returns it.
std::uint32_t AppendCheckValue(std::vector<std::uint8_t>& buffer);
// The check value stored in the last four bytes (as AppendCheckValue puts it); 0 for fewer bytes.
std::uint32_t StoredCheckValue(std::span<const std::uint8_t> bytes);
// False for a buffer shorter than 4 bytes, which stays as it is. Otherwise the last four bytes are
// taken off (whatever the outcome, so the caller reads the content without them) and compared with
// the check value of what remains.
bool VerifyCheckValue(std::vector<std::uint8_t>& buffer);

// Appends the sum of the buffer's bytes modulo 65536.
void AppendByteSum(std::vector<std::uint8_t>& buffer);
// False for a buffer shorter than 2 bytes; otherwise whether its last two bytes hold the sum of the
// others. The buffer keeps its length: readers stop before the sum.
bool VerifyByteSum(const std::vector<std::uint8_t>& buffer);
