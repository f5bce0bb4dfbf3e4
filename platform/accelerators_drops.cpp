// Accelerator tables (key presses that become WM_COMMAND) and the file lists of drops.
#include "platform/host/path.h"
#include "platform/window_internal.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform {

namespace {

struct Tables
{
    std::mutex mutex;
    std::map<std::uintptr_t, std::vector<std::string>> drops;
    std::uintptr_t nextDrop = 1;
    std::map<std::uintptr_t, std::vector<Accelerator>> accelerators;
    std::uintptr_t nextAccelerator = 1;
};

// Made once and never destroyed, so that threads ending during process exit still find it.
Tables& T()
{
    static Tables* tables = new Tables;
    return *tables;
}

} // namespace

// ---- Accelerators.

HACCEL CreateAcceleratorTable(const Accelerator* entries, int count)
{
    if (entries == nullptr || count <= 0) return nullptr;
    std::lock_guard lock(T().mutex);
    const std::uintptr_t id = T().nextAccelerator++;
    T().accelerators[id] = std::vector<Accelerator>(entries, entries + count);
    return reinterpret_cast<HACCEL>(id);
}

void DestroyAcceleratorTable(HACCEL table)
{
    std::lock_guard lock(T().mutex);
    T().accelerators.erase(reinterpret_cast<std::uintptr_t>(table));
}

bool TranslateAccelerator(HWND window, HACCEL table, const Message& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    const HeldModifiers held = GetHeldModifiers();
    WORD command = 0;
    bool found = false;
    {
        std::lock_guard lock(T().mutex);
        auto it = T().accelerators.find(reinterpret_cast<std::uintptr_t>(table));
        if (it == T().accelerators.end()) return false;
        for (const Accelerator& a : it->second) {
            if (a.key != message.wParam) continue;
            if (bool(a.flags & kAcceleratorAlt) != held.alt) continue;
            if (bool(a.flags & kAcceleratorControl) != held.control) continue;
            if (bool(a.flags & kAcceleratorShift) != held.shift) continue;
            command = a.command;
            found = true;
            break;
        }
    }
    if (!found) return false;
    SendMessage(window, WM_COMMAND, MAKEWPARAM(command, 1), 0);
    return true;
}

// ---- Dropped files.

void DragAcceptFiles(HWND window, bool accept)
{
    WithWindowRecord(window, [&](WindowRecord& w) { w.acceptFiles = accept; });
}

UINT DragQueryFile(HDROP drop, UINT index, char* buffer, UINT size)
{
    std::lock_guard lock(T().mutex);
    auto it = T().drops.find(reinterpret_cast<std::uintptr_t>(drop));
    if (it == T().drops.end()) return 0;
    const auto& names = it->second;
    if (index == 0xFFFFFFFFu) return UINT(names.size());
    if (index >= names.size()) return 0;
    const std::string& name = names[index];
    if (buffer == nullptr) return UINT(name.size());
    if (size == 0) return 0;
    const std::size_t n = std::min<std::size_t>(name.size(), size - 1);
    std::copy_n(name.data(), n, buffer);
    buffer[n] = '\0';
    return UINT(n);
}

void DragFinish(HDROP drop)
{
    std::lock_guard lock(T().mutex);
    T().drops.erase(reinterpret_cast<std::uintptr_t>(drop));
}

void FilesDropped(HWND window, const std::vector<std::string>& utf8Paths)
{
    std::vector<std::string> names;
    for (const std::string& path : utf8Paths) {
        std::string name;
        if (ToSdkPath(path, name)) names.push_back(std::move(name));
    }
    bool accepts = false;
    WithWindowRecord(window, [&](WindowRecord& w) { accepts = w.acceptFiles; });
    if (!accepts || names.empty()) return;
    std::uintptr_t id;
    {
        std::lock_guard lock(T().mutex);
        id = T().nextDrop++;
        T().drops[id] = std::move(names);
    }
    if (!PostToOwner(window, WM_DROPFILES, WPARAM(id), 0)) DragFinish(reinterpret_cast<HDROP>(id));
}

} // namespace platform
