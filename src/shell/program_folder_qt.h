#pragma once
// The program folder this run uses, found from the executable's place, --folder and the
// environment, and made ready (see shell/program_folder.h for the rule).
#include <QString>

#include <string>
#include <vector>

namespace tolvex {

struct StartFolder {
  QString folder;                  // empty when there is none: `error` says why
  QString error;                   // Spanish, for the pilot
  std::vector<std::string> notes;  // for the diagnostic log, once the settings are read
};

// `given`: the --folder value (empty when not given).
StartFolder start_folder(const QString& given);

}  // namespace tolvex
