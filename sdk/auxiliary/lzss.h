#pragma once
// The SDK's compressor: byte-oriented LZSS with a 4096-byte window and matches of 3 to 18 bytes,
// found through binary search trees. The stream has no header: the decoded size travels beside it.

#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Auxiliary {

class ICompress
{
public:
    // Blocks that these operations allocate are arrays of bytes: free them with delete[].
    virtual int Decode(const std::uint8_t* source, std::uint32_t sourceSize,
                       ZTL::smart_ptr<std::uint8_t>& destination, std::uint32_t decodedSize) = 0;
    virtual int Decode(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t*& destination,
                       std::uint32_t decodedSize, bool allocate) = 0;
    virtual int Encode(const std::uint8_t* source, ZTL::smart_ptr<std::uint8_t>& destination,
                       std::uint32_t sourceSize, std::uint32_t& outputSize) = 0;
    virtual int Encode(const std::uint8_t* source, std::uint8_t*& destination, std::uint32_t sourceSize,
                       std::uint32_t& outputSize, bool allocate) = 0;
    virtual ~ICompress() = default;
};

class CLZSS : public ICompress
{
public:
    static constexpr int kWindowSize = 4096;
    static constexpr int kMaxMatch = 18;
    static constexpr int kThreshold = 2; // matches this short or shorter are sent as literals
    static constexpr int kStartPosition = kWindowSize - kMaxMatch; // 4078
    static constexpr int kNone = kWindowSize;                      // an empty tree link

    // Every byte of a stream produces at most this many bytes: a 2-byte match copies 18.
    static constexpr std::uint64_t kMaxExpansion = 9;

    // Results.
    static constexpr int kOk = 0;
    static constexpr int kNothingToDo = 1;      // decoded size 0, or input not worth packing
    static constexpr int kSourceTooShort = 2;   // the stream ended before the decoded size was reached
    static constexpr int kDestinationSmall = 3; // the given destination cannot hold the decoded size

    // Decodes into the destination's block, which must hold `decodedSize` bytes; an empty destination
    // receives a new owned block first.
    int Decode(const std::uint8_t* source, std::uint32_t sourceSize,
               ZTL::smart_ptr<std::uint8_t>& destination, std::uint32_t decodedSize) override;
    // Decodes exactly `decodedSize` bytes, reading no more than `sourceSize` bytes of the stream. With
    // `allocate` the destination receives a new block (freed again, and the pointer nulled, on failure).
    // A decoded size the stream cannot reach (beyond kMaxExpansion × sourceSize), or a block that cannot
    // be had, gives kSourceTooShort before anything is allocated or written.
    int Decode(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t*& destination,
               std::uint32_t decodedSize, bool allocate) override;
    // With an empty destination the packed bytes go to a new owned block of `outputSize` bytes;
    // otherwise only `outputSize` is computed.
    int Encode(const std::uint8_t* source, ZTL::smart_ptr<std::uint8_t>& destination,
               std::uint32_t sourceSize, std::uint32_t& outputSize) override;
    // 0 with `outputSize` set, or 1 when the input is 16 bytes or less or does not pack below
    // sourceSize - 8 bytes. Only with `allocate` is a block made and written.
    int Encode(const std::uint8_t* source, std::uint8_t*& destination, std::uint32_t sourceSize,
               std::uint32_t& outputSize, bool allocate) override;

private:
    void InsertNode(int r);
    void DeleteNode(int p);

    std::uint8_t m_window[kWindowSize + kMaxMatch - 1];
    std::int32_t m_parent[kWindowSize + 1];
    std::int32_t m_leftChild[kWindowSize + 1];
    std::int32_t m_rightChild[kWindowSize + 257];
    std::int32_t m_matchPosition = 0;
    std::int32_t m_matchLength = 0;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
