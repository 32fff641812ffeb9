#include "BenchUtil.h"

#include <cstdlib>
#include <map>
#include <string>
#include <system_error>
#include <unistd.h>

#include "InputGen.h"

namespace tavrel
{

namespace benchinput
{
namespace
{
class CScratch
{
public:
    CScratch()
    {
        m_path = std::filesystem::temp_directory_path() / ("tavrel-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_path);
    }
    ~CScratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    CScratch(const CScratch&) = delete;
    CScratch& operator=(const CScratch&) = delete;

    std::filesystem::path m_path;
    std::map<std::string, CInputFile> m_mapInputs;
};

CScratch& Scratch()
{
    static CScratch scratch;
    return scratch;
}
}  // namespace

const CInputFile& CachedInput(std::string_view kind, size_t nBytes)
{
    const std::string key = std::string(kind) + "-" + std::to_string(nBytes);
    CScratch& scratch = Scratch();
    auto it = scratch.m_mapInputs.find(key);
    if (it != scratch.m_mapInputs.end())
        return it->second;
    CInputFile file;
    file.m_path = scratch.m_path / ("input-" + key);
    if (!WriteInput(kind, nBytes, file.m_path))
        std::abort();
    file.m_nBytes = static_cast<size_t>(std::filesystem::file_size(file.m_path));
    return scratch.m_mapInputs.emplace(key, file).first->second;
}

std::filesystem::path ScratchPath(std::string_view name)
{
    return Scratch().m_path / std::string(name);
}

}  // namespace benchinput

}  // namespace tavrel
