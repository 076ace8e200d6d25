// Finding a package folder's INF files and reading each with the INF reader.
#include "readers/inf_package.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <strings.h>

#include "readers/code_page.h"
#include "readers/folder_index.h"

namespace fs = std::filesystem;

namespace {

bool HasInfExtension(const fs::path& path)
{
    return strcasecmp(path.extension().string().c_str(), ".inf") == 0;
}

// The Windows form of a path below the package folder.
std::string WindowsName(const fs::path& relative)
{
    std::string name = relative.generic_string();
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// The file's first kInfFileMax + 1 bytes, enough to tell that it is too large.
bool ReadStart(const std::string& path, std::string* bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes->resize(kInfFileMax + 1);
    file.read(bytes->data(), static_cast<std::streamsize>(bytes->size()));
    bytes->resize(static_cast<size_t>(file.gcount()));
    return !file.bad();
}

PackageInf ReadPackageInf(const fs::path& folder, const fs::path& path)
{
    PackageInf inf;
    inf.Path = path.string();
    inf.Name = WindowsName(path.lexically_relative(folder));
    std::string bytes;
    if (!ReadStart(inf.Path, &bytes)) {
        inf.Read.Problem = "cannot be read";
        return inf;
    }
    inf.Read = ReadInf(bytes.data(), bytes.size());
    inf.PciDevices = ListedPciDevices(inf.Read.Models);
    return inf;
}

}  // namespace

std::set<PciDevice> ListedPciDevices(const std::vector<InfModel>& models)
{
    std::set<PciDevice> devices;
    auto add = [&devices](const std::string& text) {
        PciHardwareId id;
        if (ParsePciHardwareId(text, &id))
            devices.insert(PciDevice{id.Vendor, id.Device});
    };
    for (const InfModel& model : models) {
        add(model.HardwareId);
        for (const std::string& compatible : model.CompatibleIds)
            add(compatible);
    }
    return devices;
}

std::vector<PackageInf> ReadPackageInfs(const std::string& folder)
{
    std::vector<fs::path> paths;
    std::error_code error;
    const auto options = fs::directory_options::skip_permission_denied;
    for (fs::recursive_directory_iterator it(folder, options, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && HasInfExtension(it->path()))
            paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<PackageInf> infs;
    infs.reserve(paths.size());
    for (const fs::path& path : paths)
        infs.push_back(ReadPackageInf(folder, path));
    return infs;
}

std::string ListedDescription(const Package& package, const PciDevice& device)
{
    for (const PackageInf& inf : package.Infs) {
        for (const InfModel& model : inf.Read.Models) {
            if (!model.Description.empty() && ListedPciDevices({model}).count(device) != 0)
                return model.Description;
        }
    }
    return "";
}

const Package* PackageIndex::Find(const std::string& relative)
{
    std::string host = folder_.FindFolder(relative);
    if (host.empty())
        return nullptr;
    auto found = packages_.find(host);
    if (found != packages_.end())
        return &found->second;
    Package package;
    package.Name = WindowsName(fs::path(host).lexically_relative(folder_.Root()));
    package.Infs = ReadPackageInfs(host);
    for (const PackageInf& inf : package.Infs)
        package.PciDevices.insert(inf.PciDevices.begin(), inf.PciDevices.end());
    return &packages_.emplace(host, std::move(package)).first->second;
}

std::vector<const Package*> PackageIndex::DriversPackages()
{
    std::string drivers = folder_.FindFolder("DRIVERS");
    std::vector<std::string> names;
    std::error_code error;
    if (!drivers.empty()) {
        for (fs::directory_iterator it(drivers, error), end; !error && it != end; it.increment(error)) {
            if (it->is_directory(error))
                names.push_back(it->path().filename().u8string());
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<const Package*> packages;
    std::string driversName = fs::path(drivers).filename().u8string();
    // Find takes a Windows path, in the settings file's code page; a host
    // name (in UTF-8 here) that the code page cannot hold is a folder no row
    // can name.
    std::string ansiDrivers;
    if (!AnsiFromUtf8(driversName, &ansiDrivers))
        return packages;
    const std::string folderStart = ansiDrivers + "\\";
    std::string ansiName;
    for (const std::string& name : names) {
        if (!AnsiFromUtf8(name, &ansiName))
            continue;
        if (const Package* package = Find(folderStart + ansiName))
            packages.push_back(package);
    }
    return packages;
}
