// Window classes, menu resources and dialog templates: what the program registers before it makes
// windows.
#include "platform/window_internal.h"

#include <algorithm>
#include <map>
#include <set>

namespace platform {

namespace {

struct Classes
{
    std::mutex mutex;
    std::map<std::string, WindowClassInfo> classes;
    std::map<std::string, std::vector<MenuItem>> menus;
    std::map<std::string, DialogTemplate> dialogs;
    std::uintptr_t nextMenu = 1;
};

// Made once and never destroyed, so that threads ending during process exit still find it.
Classes& C()
{
    static Classes* classes = new Classes;
    return *classes;
}

constexpr const char* kControlClasses[] = {"BUTTON",    "COMBOBOX",  "EDIT",  "LISTBOX",
                                           "MDICLIENT", "SCROLLBAR", "STATIC"};

bool IsControlClass(std::string_view name)
{
    return std::find(std::begin(kControlClasses), std::end(kControlClasses), name) !=
           std::end(kControlClasses);
}

// Control classes have no behaviour of their own here beyond the default answers.
LRESULT ControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProc(window, message, wParam, lParam);
}

std::string ResourceKey(ResourceName name)
{
    if (name == nullptr) return {};
    if (IsIntResource(name)) {
        // Appended rather than "#" + string: the latter trips a false overlap warning in optimised builds.
        std::string key("#");
        key += std::to_string(reinterpret_cast<std::uintptr_t>(name));
        return key;
    }
    return name;
}

} // namespace

bool LookUpWindowClass(const std::string& name, WNDPROC& procedure, HMENU& menu,
                       std::vector<MenuItem>* entries)
{
    menu = nullptr;
    if (IsControlClass(name)) {
        procedure = &ControlProcedure;
        return true;
    }
    std::lock_guard lock(C().mutex);
    auto it = C().classes.find(name);
    if (it == C().classes.end()) return false;
    procedure = it->second.procedure;
    if (it->second.menuName == nullptr) return true;
    auto found = C().menus.find(ResourceKey(it->second.menuName));
    if (found == C().menus.end()) return true;
    menu = reinterpret_cast<HMENU>(C().nextMenu++);
    if (entries != nullptr) *entries = found->second;
    return true;
}

bool FindDialogTemplate(ResourceName name, DialogTemplate& dialog)
{
    std::lock_guard lock(C().mutex);
    auto it = C().dialogs.find(ResourceKey(name));
    if (it == C().dialogs.end()) return false;
    dialog = it->second;
    return true;
}

void RegisterMenuResource(ResourceName name, const std::vector<MenuItem>& entries)
{
    std::lock_guard lock(C().mutex);
    C().menus[ResourceKey(name)] = entries;
}

bool FindMenuResource(ResourceName name)
{
    if (name == nullptr) return false;
    std::lock_guard lock(C().mutex);
    return C().menus.count(ResourceKey(name)) != 0;
}

void RegisterDialogTemplate(ResourceName name, const DialogTemplate& dialog)
{
    std::lock_guard lock(C().mutex);
    C().dialogs[ResourceKey(name)] = dialog;
}

bool RegisterWindowClass(const WindowClassInfo& info)
{
    if (info.name.empty()) return false;
    std::lock_guard lock(C().mutex);
    if (IsControlClass(info.name) || C().classes.count(info.name)) return false;
    C().classes[info.name] = info;
    return true;
}

bool FindWindowClass(std::string_view name)
{
    if (IsControlClass(name)) return true;
    std::lock_guard lock(C().mutex);
    return C().classes.count(std::string(name)) != 0;
}

bool UnregisterWindowClass(std::string_view name)
{
    std::lock_guard lock(C().mutex);
    return C().classes.erase(std::string(name)) != 0;
}

} // namespace platform
