// zelvara-cli export: the batch tools without a screen.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace zelvara::cli {

// args: the words after "export" that are not options (the tool's name);
// opts: --out, --from, --to. Returns the exit code.
int RunExport(const std::vector<std::string>& args, const std::map<std::string, std::string>& opts,
              const std::string& programFolder);

}  // namespace zelvara::cli
