#include "game/app/save_game.h"

#include "game/data/check_value.h"
#include "game/data/config.h"
#include "game/data/error_box.h"
#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/serialize.h"
#include "sdk/ztl/sjis.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kPasswordPairBytes = 8;
constexpr std::size_t kMainSuffixLength = 5; // ".main"

// MakeSavePath's name with another extension in place of ".main".
ZTL::string WithExtension(const SGameResource& game, const char* extension)
{
    const ZTL::string path = MakeSavePath(game);
    return path.substr(0, path.size() - kMainSuffixLength) + extension;
}

std::string_view HostView(const ZTL::string& path)
{
    return std::string_view(path.c_str(), path.size());
}

// The save-kind value and the adventure fields: the ".head" content, and the start of the body.
void StoreHead(Auxiliary::CSerialize& stream, SGameResource& game)
{
    stream.Serialize(game.saveKind).Serialize(game);
}

// The part of the body before the password history: the head, the characters, the items and the
// identification state.
void StoreState(Auxiliary::CSerialize& stream, SGameResource& game)
{
    StoreHead(stream, game);
    stream.Serialize(game.characters).Serialize(game.items);
    if (stream.IsStoring())
        game.items.SaveIdentification(stream);
    else
        game.items.LoadIdentification(stream);
}

// Reads a body without its check value into the game state; false when it does not read whole. The
// bytes are lent to the stream and given back.
bool ParseSaveBody(std::vector<std::uint8_t>& bytes, SGameResource& game)
{
    Auxiliary::CSerialize stream;
    stream.GetBuffer().swap(bytes);
    stream.SetStoring(false);
    StoreState(stream, game);
    std::int32_t count = 0;
    stream.Serialize(count);
    const std::size_t size = stream.GetBuffer().size();
    const std::size_t left = size - std::min<std::size_t>(stream.ReadPosition(), size);
    bool whole = !stream.HasLoadFailed() && count >= 0 && std::size_t(count) <= left / kPasswordPairBytes;
    for (std::int32_t i = 0; whole && i < count; ++i) {
        PasswordPair pair;
        stream.Serialize(pair.first).Serialize(pair.second);
        game.passwordHistory.push_back(pair);
    }
    // Saves written before the hidden dungeon had a record end with the history: it has none yet.
    game.hiddenDungeonSlot = SGameResource::SDungeonSlot();
    if (whole && stream.ReadPosition() < stream.GetBuffer().size()) game.hiddenDungeonSlot.Serialize(stream);
    whole = whole && !stream.HasLoadFailed() && IsSafeSaveName(game.saveName);
    stream.GetBuffer().swap(bytes);
    return whole;
}

// Reads the stored fields of a ".head" (check value taken off); false, with the fields as they were,
// when they do not read whole.
bool ParseSaveHead(std::vector<std::uint8_t>& bytes, SGameResource& game)
{
    Auxiliary::CSerialize before;
    StoreHead(before, game);
    Auxiliary::CSerialize stream;
    stream.GetBuffer().swap(bytes);
    stream.SetStoring(false);
    StoreHead(stream, game);
    const bool whole = !stream.HasLoadFailed() && IsSafeSaveName(game.saveName);
    if (!whole) {
        before.SetStoring(false);
        StoreHead(before, game);
    }
    stream.GetBuffer().swap(bytes);
    return whole;
}

} // namespace

bool IsSafeSaveName(const ZTL::string& name)
{
    const std::string_view text(name.c_str(), name.length());
    if (text.find("..") != std::string_view::npos) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (ZTL::IsSjisLeadByte(c)) {
            if (++i == text.size() || text[i] == '\0') return false;
            continue;
        }
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '/' || c == ':') return false;
    }
    // A pair no file name can spell (a lead byte before a space, a byte no character starts with) would
    // load, and then make every later save of it fail.
    std::string hostForm;
    return platform::Cp932ToUtf8(text, hostForm);
}

ZTL::string MakeSavePath(const SGameResource& game)
{
    char number[16];
    std::snprintf(number, sizeof number, "%04d", game.userNumber);
    return ZTL::string("save\\") + number + game.saveName + ".main";
}

ZTL::string MakeSaveHeadPath(const SGameResource& game)
{
    return WithExtension(game, ".head");
}

ZTL::string MakeSaveOptionsPath(const SGameResource& game)
{
    return WithExtension(game, ".cfg");
}

std::vector<std::uint8_t> BuildSaveBody(SGameResource& game)
{
    Auxiliary::CSerialize stream;
    StoreState(stream, game);
    std::int32_t count = std::int32_t(game.passwordHistory.size());
    stream.Serialize(count);
    for (PasswordPair pair : game.passwordHistory)
        stream.Serialize(pair.first).Serialize(pair.second);
    game.hiddenDungeonSlot.Serialize(stream);
    std::vector<std::uint8_t>& bytes = stream.GetBuffer();
    game.checkValue = AppendCheckValue(bytes);
    return std::move(bytes);
}

int ReadSaveBody(SGameResource& game, std::vector<std::uint8_t> bytes)
{
    // A right check value is the check value of the rest.
    const std::uint32_t check = StoredCheckValue(bytes);
    if (!VerifyCheckValue(bytes)) return kSaveBadCheck;
    // What the body may change, kept until it has read whole (small after the reset a load makes).
    Auxiliary::CSerialize before;
    StoreState(before, game);
    const std::size_t history = game.passwordHistory.size();
    const SGameResource::SDungeonSlot hidden = game.hiddenDungeonSlot;
    if (!ParseSaveBody(bytes, game)) {
        game.characters.Reset();
        game.items.Reset();
        before.SetStoring(false);
        StoreState(before, game);
        game.passwordHistory.resize(history);
        game.hiddenDungeonSlot = hidden;
        return kSaveBadCheck;
    }
    game.checkValue = check;
    return kSaveDone;
}

SSaveSet BuildSaveSet(SGameResource& game)
{
    // The check value stays that of the set on the disk until the new set is in place: the resume guard
    // is made from it.
    const std::uint32_t checkBefore = game.checkValue;
    SSaveSet set;
    set.body = BuildSaveBody(game);
    set.checkValue = game.checkValue;
    set.userNumber = game.userNumber;
    set.saveName = game.saveName;
    Auxiliary::CSerialize head;
    StoreHead(head, game);
    AppendCheckValue(head.GetBuffer());
    set.head = std::move(head.GetBuffer());
    game.checkValue = checkBefore;
    return set;
}

int WriteSaveSet(SGameResource& game, const SSaveSet& set)
{
    if (!IsSafeSaveName(game.saveName)) return 1;
    const ZTL::string mainPath = Auxiliary::CFile::ResolvePath(MakeSavePath(game));
    const ZTL::string headPath = Auxiliary::CFile::ResolvePath(MakeSaveHeadPath(game));
    platform::StagedFile mainFile, headFile;
    // Nothing replaces its old version until both files are whole on the disk: a full disk keeps the
    // old set as it was.
    const bool staged =
        mainFile.Write(HostView(mainPath), set.body.data(), set.body.size()) == platform::WriteResult::Ok &&
        headFile.Write(HostView(headPath), set.head.data(), set.head.size()) == platform::WriteResult::Ok;
    // The body the new one replaces, to be put back should the new head not follow it.
    const bool hadBody = platform::FileExists(HostView(mainPath));
    std::vector<unsigned char> oldBody;
    const bool keptBody = staged && hadBody && platform::ReadWholeFile(HostView(mainPath), oldBody);
    if (!staged || !mainFile.Commit()) return 1;
    // The body is in place but its head is not: the old body goes back beside the old head, and a body
    // that replaced none goes, so that no list misses a body left without its head. Should that fail
    // too, the check value follows the body that stays on the disk.
    if (!headFile.Commit()) {
        const bool restored = keptBody ? platform::WriteWholeFile(HostView(mainPath), oldBody.data(),
                                                                  oldBody.size()) == platform::WriteResult::Ok
                                       : !hadBody && platform::DeleteFile(HostView(mainPath));
        if (!restored) game.checkValue = set.checkValue;
        return 1;
    }
    game.checkValue = set.checkValue;
    return 0;
}

int WriteSaveGame(SGameResource& game)
{
    if (WriteSaveSet(game, BuildSaveSet(game)) == 0) return 0;
    ShowErrorBox(kSaveFailedMessage);
    return 1;
}

int WriteSaveHead(SGameResource& game)
{
    if (!IsSafeSaveName(game.saveName)) return 1;
    Auxiliary::CSerialize stream;
    StoreHead(stream, game);
    AppendCheckValue(stream.GetBuffer());
    stream.SaveToFile(MakeSaveHeadPath(game));
    return 0;
}

int ReadSaveHead(SGameResource& game, std::int32_t userNumber, const ZTL::string& saveName)
{
    if (!IsSafeSaveName(saveName)) return kSaveUnreadable;
    game.userNumber = userNumber;
    game.saveName = saveName;
    Auxiliary::CSerialize stream;
    if (stream.LoadFromFile(MakeSaveHeadPath(game)) != 0) return kSaveUnreadable;
    std::vector<std::uint8_t>& bytes = stream.GetBuffer();
    if (!VerifyCheckValue(bytes) || !ParseSaveHead(bytes, game)) return kSaveBadCheck;
    return kSaveDone;
}

int LoadSaveGame(SGameResource& game)
{
    const ZTL::string path = MakeSavePath(game);
    const std::int32_t userNumber = game.userNumber;
    const ZTL::string saveName = game.saveName;
    game.ResetAdventureState();
    game.characters.Reset();
    game.items.Reset();

    Auxiliary::CSerialize stream;
    if (stream.LoadFromFile(path) != 0) return kSaveUnreadable;
    const int read = ReadSaveBody(game, std::move(stream.GetBuffer()));
    if (read != kSaveDone) return read;
    // The file's own number and name hold: a body copied in under another name must not write over the
    // slot it came from at the next save, nor look for that slot's run files.
    game.userNumber = userNumber;
    game.saveName = saveName;
    ReseedFromStoredSeed(game);

    game.config.name = MakeSaveOptionsPath(game);
    LoadOptions(game.config);
    ApplyOptions(game);
    return kSaveDone;
}

void ReseedFromStoredSeed(SGameResource& game)
{
    game.random.SetSeed(game.seed);
    game.random.seed = game.seed;
    game.items.ShuffleUnidentifiedNames(game.random);
}

void ApplyOptions(SGameResource& game)
{
    const SConfig& config = game.config;
    game.selectWindow.SetAlphaSurface(config.translucentWindows);
    game.messageWindow.SetAlphaSurface(config.translucentWindows);
    game.selectWindow.SetTextAlphaMode(config.smoothFont);
    game.messageWindow.SetTextAlphaMode(config.smoothFont);
    game.map.displayFlag = config.darknessFades ? 0 : 1;
    game.messageWindow.SetDefaultWait(config.messageSpeed);
}
