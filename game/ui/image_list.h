#pragma once
// The game's pictures by number: map tiles, characters, items, windows and effects. The list file
// "./data/image/list.txt" names the file of every number; at most 48 pictures stay loaded at a time, the
// least recently used one giving way to a new one. One access point builds the list on first use, hands
// out planes, lets go of every loaded picture after a change of the display (they load again when next
// asked for) and destroys the list at the end of the program.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/ztl/ztl_string.h"

#include <array>
#include <cstdint>
#include <list>
#include <map>

class CImageLoader
{
public:
    static constexpr std::int32_t kSlots = 48;

    // One loaded picture: its cache place and its number.
    struct SImageInner
    {
        std::int32_t slot = -1;
        std::int32_t imageId = -1;
    };

    // Reads the list file; without one every number stays unnamed.
    CImageLoader();
    CImageLoader(const CImageLoader&) = delete;
    CImageLoader& operator=(const CImageLoader&) = delete;

    // The plane of picture `imageId`, loaded on demand; null for a number the list does not name.
    Draw::CFastPlane* Get(std::int32_t imageId);
    // Lets go of every loaded picture; the names stay.
    void ReleaseAll();

    // The list's lines into `names` ("file,number" per CR LF line; empty lines and lines beginning with
    // "//" are skipped, and so is a line without a file name or a number). Of two lines with one number
    // the first keeps it.
    static void ReadList(Auxiliary::CFile& file, std::map<std::int32_t, ZTL::string>& names);

private:
    std::list<SImageInner> m_recency; // most recently used first
    std::map<std::int32_t, std::list<SImageInner>::iterator> m_loaded;
    std::map<std::int32_t, ZTL::string> m_names;
    std::array<Draw::CFastPlane, kSlots> m_planes;
};

// The commands of AccessImageList.
enum EImageListCommand : std::int32_t
{
    kImageListGet = 0,     // builds the list when there is none, then the picture's plane
    kImageListDestroy = 1, // the next access builds a new list
    kImageListRelease = 2, // every loaded picture let go
};

inline constexpr const char* kImageListFileName = "./data/image/list.txt";
inline constexpr const char* kImageFolder = "data\\image\\";

// The plane of a picture (kImageListGet), or an empty plane: for the other commands, and for a number
// the list does not name. Callers keep the reference only for the drawing at hand: a later access may
// load another picture into the same plane.
Draw::CFastPlane& AccessImageList(std::int32_t command, std::int32_t imageId);
