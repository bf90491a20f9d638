// zelvara-cli register list|check|backup|restore|deleted|undelete: the person
// register from the command line. The writing commands take the register's
// lock like the desktop program and refuse, with exit code 3, while another
// program holds it.
#pragma once

#include "chart_options.h"

#include <string>
#include <vector>

namespace zelvara::cli {

int RunRegister(const std::vector<std::string>& words, const Options& opts, const std::string& programFolder);

}  // namespace zelvara::cli
