// build_data <source folder> <output folder>: builds the game's data set (see data_pipeline.h). Every
// problem is printed as "file:line: message" and the build fails; nothing is written then.

#include "tools/data/data_pipeline.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace {

// The whole file through a temporary beside it, so an interrupted build leaves no half table.
bool WriteFile(const std::filesystem::path& path, const std::string& content)
{
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), std::streamsize(content.size()));
        if (!out.good()) return false;
    }
    std::filesystem::rename(temporary, path, error);
    return !error;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: build_data <source folder> <output folder>\n");
        return 2;
    }
    const data_pipeline::SBuildResult result = data_pipeline::BuildDataSet(argv[1]);
    for (const data_pipeline::SDiagnostic& diagnostic : result.diagnostics)
        std::fprintf(stderr, "%s\n", data_pipeline::FormatDiagnostic(diagnostic).c_str());
    if (!result.diagnostics.empty()) {
        std::fprintf(stderr, "The data set was not built: %zu problem(s) in its sources.\n",
                     result.diagnostics.size());
        return 1;
    }
    for (const auto& [path, content] : result.files) {
        const std::filesystem::path target = std::filesystem::path(argv[2]) / path;
        if (!WriteFile(target, content)) {
            std::fprintf(stderr, "%s: cannot write the file\n", target.string().c_str());
            return 1;
        }
    }
    return 0;
}
