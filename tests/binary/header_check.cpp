// Header and export checks: what the Windows 95 loader needs to accept the
// image at all.
#include "checks.h"

#include "win32_constants.h"

void CheckHeaders(const PeImage& image, ImageKind kind, Findings& findings)
{
    const PeHeaders& headers = image.headers();
    findings.expectEqual("machine", Hex(headers.machine), Hex(IMAGE_FILE_MACHINE_I386));
    findings.expectEqual("optional header magic", Hex(headers.optionalMagic), Hex(IMAGE_NT_OPTIONAL_HDR32_MAGIC));
    findings.expectEqual("subsystem", headers.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    findings.expectEqual("subsystem version",
                         std::to_string(headers.subsystemMajor) + "." + std::to_string(headers.subsystemMinor),
                         std::string("4.0"));
    const DataDirectory tls = image.directory(kTlsDirectory);
    if (tls.rva != 0 || tls.size != 0) {
        findings.add("has a TLS directory (Windows 95 does not run TLS callbacks of a loaded image)");
    }
    const bool isLibrary = (headers.characteristics & IMAGE_FILE_DLL) != 0;
    if (isLibrary != (kind == ImageKind::Library)) {
        findings.add(kind == ImageKind::Library ? "IMAGE_FILE_DLL is clear in a library"
                                                : "IMAGE_FILE_DLL is set in a program");
    }
}

void CheckOrdinalOnlyExport(const PeImage& image, Findings& findings)
{
    const std::optional<ExportTable> exports = image.exports();
    if (!exports) {
        findings.add("has no export directory");
        return;
    }
    findings.expectEqual("exported function count", exports->functionRvas.size(), std::size_t{1});
    findings.expectEqual("ordinal base", exports->ordinalBase, std::uint32_t{1});
    findings.expectEqual("exported name count", exports->nameCount, std::uint32_t{0});
    if (!exports->functionRvas.empty() && exports->functionRvas.front() == 0) {
        findings.add("ordinal 1 has no address");
    }
}
