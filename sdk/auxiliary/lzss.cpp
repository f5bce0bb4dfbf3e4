#include "sdk/auxiliary/lzss.h"

#include <cstring>
#include <new>

namespace zelvoranGameSDK3rd::Auxiliary {

int CLZSS::Decode(const std::uint8_t* source, std::uint32_t sourceSize,
                  ZTL::smart_ptr<std::uint8_t>& destination, std::uint32_t decodedSize)
{
    if (decodedSize == 0) return kNothingToDo;
    if (destination.isNull()) {
        std::uint8_t* block = nullptr;
        int result = Decode(source, sourceSize, block, decodedSize, true);
        if (result == kOk) destination.addArray(block, decodedSize);
        return result;
    }
    if (std::uint64_t{destination.getElementCount()} < std::uint64_t{destination.getIndex()} + decodedSize)
        return kDestinationSmall;
    std::uint8_t* block = destination.get();
    return Decode(source, sourceSize, block, decodedSize, false);
}

int CLZSS::Decode(const std::uint8_t* source, std::uint32_t sourceSize, std::uint8_t*& destination,
                  std::uint32_t decodedSize, bool allocate)
{
    if (decodedSize == 0) return kNothingToDo;
    // A claimed size is checked against what the stream could give before a block is made for it.
    if (decodedSize > kMaxExpansion * sourceSize) {
        if (allocate) destination = nullptr;
        return kSourceTooShort;
    }
    if (allocate) {
        destination = new (std::nothrow) std::uint8_t[decodedSize];
        if (destination == nullptr) return kSourceTooShort;
    }
    std::uint8_t* out = destination;

    std::memset(m_window, 0, sizeof m_window);
    unsigned writePosition = kStartPosition;
    unsigned flags = 0;
    std::uint32_t in = 0;
    std::uint32_t produced = 0;
    auto fail = [&]() {
        if (allocate) {
            delete[] destination;
            destination = nullptr;
        }
        return kSourceTooShort;
    };
    for (;;) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= sourceSize) return fail();
            flags = source[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= sourceSize) return fail();
            std::uint8_t c = source[in++];
            out[produced++] = c;
            if (produced == decodedSize) return kOk;
            m_window[writePosition] = c;
            writePosition = (writePosition + 1) & (kWindowSize - 1);
        } else {
            if (sourceSize - in < 2) return fail();
            unsigned b0 = source[in++];
            unsigned b1 = source[in++];
            unsigned position = b0 | ((b1 & 0xF0u) << 4);
            unsigned length = (b1 & 0x0Fu) + kThreshold + 1;
            for (unsigned k = 0; k < length; ++k) {
                std::uint8_t c = m_window[(position + k) & (kWindowSize - 1)];
                out[produced++] = c;
                if (produced == decodedSize) return kOk;
                m_window[writePosition] = c;
                writePosition = (writePosition + 1) & (kWindowSize - 1);
            }
        }
    }
}

int CLZSS::Encode(const std::uint8_t* source, ZTL::smart_ptr<std::uint8_t>& destination,
                  std::uint32_t sourceSize, std::uint32_t& outputSize)
{
    if (!destination.isNull()) {
        std::uint8_t* unused = nullptr;
        return Encode(source, unused, sourceSize, outputSize, false);
    }
    std::uint8_t* block = nullptr;
    int result = Encode(source, block, sourceSize, outputSize, true);
    if (result == kOk) destination.addArray(block, outputSize);
    return result;
}

int CLZSS::Encode(const std::uint8_t* source, std::uint8_t*& destination, std::uint32_t sourceSize,
                  std::uint32_t& outputSize, bool allocate)
{
    if (sourceSize <= 16) return kNothingToDo;
    const std::uint32_t limit = sourceSize - 8;
    outputSize = 0;
    if (allocate) destination = new std::uint8_t[limit];
    auto giveUp = [&]() {
        if (allocate) {
            delete[] destination;
            destination = nullptr;
        }
        return kNothingToDo;
    };

    for (int i = kWindowSize + 1; i <= kWindowSize + 256; ++i)
        m_rightChild[i] = kNone;
    for (int i = 0; i < kWindowSize; ++i)
        m_parent[i] = kNone;
    std::memset(m_window, 0, sizeof m_window);

    std::uint32_t in = 0;
    int s = 0;
    int r = kStartPosition;
    int len = 0;
    for (; len < kMaxMatch && in < sourceSize; ++len)
        m_window[r + len] = source[in++];
    if (len == 0) return giveUp();
    for (int i = 1; i <= kMaxMatch; ++i)
        InsertNode(r - i);
    InsertNode(r);

    std::uint8_t group[17];
    group[0] = 0;
    int groupLength = 1;
    std::uint8_t mask = 1;
    // Counts a finished group and copies it out while the output stays below the limit.
    auto emitGroup = [&]() {
        outputSize += static_cast<std::uint32_t>(groupLength);
        if (outputSize >= limit) return false;
        if (allocate)
            std::memcpy(destination + outputSize - groupLength, group, static_cast<std::size_t>(groupLength));
        return true;
    };

    do {
        if (m_matchLength > len) m_matchLength = len;
        if (m_matchLength <= kThreshold) {
            m_matchLength = 1;
            group[0] |= mask;
            group[groupLength++] = m_window[r];
        } else {
            group[groupLength++] = static_cast<std::uint8_t>(m_matchPosition);
            group[groupLength++] = static_cast<std::uint8_t>(((m_matchPosition >> 4) & 0xF0) |
                                                             (m_matchLength - (kThreshold + 1)));
        }
        mask = static_cast<std::uint8_t>(mask << 1);
        if (mask == 0) {
            if (!emitGroup()) return giveUp();
            group[0] = 0;
            groupLength = 1;
            mask = 1;
        }
        const int consumed = m_matchLength;
        int i = 0;
        for (; i < consumed && in < sourceSize; ++i) {
            std::uint8_t c = source[in++];
            DeleteNode(s);
            m_window[s] = c;
            if (s < kMaxMatch - 1) m_window[s + kWindowSize] = c;
            s = (s + 1) & (kWindowSize - 1);
            r = (r + 1) & (kWindowSize - 1);
            InsertNode(r);
        }
        while (i++ < consumed) {
            DeleteNode(s);
            s = (s + 1) & (kWindowSize - 1);
            r = (r + 1) & (kWindowSize - 1);
            if (--len) InsertNode(r);
        }
    } while (len > 0);

    if (groupLength > 1 && !emitGroup()) return giveUp();
    if (outputSize >= limit) return giveUp();
    return kOk;
}

void CLZSS::InsertNode(int r)
{
    int cmp = 1;
    const std::uint8_t* key = &m_window[r];
    int p = kWindowSize + 1 + key[0];
    m_rightChild[r] = m_leftChild[r] = kNone;
    m_matchLength = 0;
    for (;;) {
        if (cmp >= 0) {
            if (m_rightChild[p] != kNone) {
                p = m_rightChild[p];
            } else {
                m_rightChild[p] = r;
                m_parent[r] = p;
                return;
            }
        } else {
            if (m_leftChild[p] != kNone) {
                p = m_leftChild[p];
            } else {
                m_leftChild[p] = r;
                m_parent[r] = p;
                return;
            }
        }
        int i = 1;
        for (; i < kMaxMatch; ++i) {
            cmp = key[i] - m_window[p + i];
            if (cmp != 0) break;
        }
        if (i > m_matchLength) {
            m_matchPosition = p;
            m_matchLength = i;
            if (i >= kMaxMatch) break;
        }
    }
    // An identical string: the newer position takes the older one's place in the tree.
    m_parent[r] = m_parent[p];
    m_leftChild[r] = m_leftChild[p];
    m_rightChild[r] = m_rightChild[p];
    m_parent[m_leftChild[p]] = r;
    m_parent[m_rightChild[p]] = r;
    if (m_rightChild[m_parent[p]] == p)
        m_rightChild[m_parent[p]] = r;
    else
        m_leftChild[m_parent[p]] = r;
    m_parent[p] = kNone;
}

void CLZSS::DeleteNode(int p)
{
    if (m_parent[p] == kNone) return;
    int q;
    if (m_rightChild[p] == kNone) {
        q = m_leftChild[p];
    } else if (m_leftChild[p] == kNone) {
        q = m_rightChild[p];
    } else {
        q = m_leftChild[p];
        if (m_rightChild[q] != kNone) {
            do {
                q = m_rightChild[q];
            } while (m_rightChild[q] != kNone);
            m_rightChild[m_parent[q]] = m_leftChild[q];
            m_parent[m_leftChild[q]] = m_parent[q];
            m_leftChild[q] = m_leftChild[p];
            m_parent[m_leftChild[p]] = q;
        }
        m_rightChild[q] = m_rightChild[p];
        m_parent[m_rightChild[p]] = q;
    }
    m_parent[q] = m_parent[p];
    if (m_rightChild[m_parent[p]] == p)
        m_rightChild[m_parent[p]] = q;
    else
        m_leftChild[m_parent[p]] = q;
    m_parent[p] = kNone;
}

} // namespace zelvoranGameSDK3rd::Auxiliary
