// Import table slots of a loaded module.
#include "common/import_slot.h"

namespace {

// The module's import table slot that holds address, or nullptr.
void** FindImportSlot(HMODULE module, void* address)
{
    BYTE* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        for (auto* slot = reinterpret_cast<void**>(base + library->FirstThunk); *slot != nullptr; ++slot) {
            if (*slot == address)
                return slot;
        }
    }
    return nullptr;
}

}  // namespace

bool RedirectImport(HMODULE module, void* real, void* replacement)
{
    void** slot = real == nullptr ? nullptr : FindImportSlot(module, real);
    DWORD oldProtection;
    if (slot == nullptr || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtection))
        return false;
    *slot = replacement;
    VirtualProtect(slot, sizeof *slot, oldProtection, &oldProtection);
    return true;
}

void* ExportedFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    return module == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(module, name));
}
