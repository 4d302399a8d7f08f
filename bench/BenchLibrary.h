#pragma once

#include <QString>
#include <cstdio>

#include "library/SongLibrary.h"
#include "support/CommandLinePrompter.h"
#include "support/CurrentError.h"
#include "support/ErrorCheck.h"
#include "support/ErrorLog.h"
#include "support/MessageCatalog.h"

namespace audiolume::bench {

/** A library with the support objects it needs, on a folder of the benchmark's. */
struct BenchLibrary {
  explicit BenchLibrary(const QString& folder)
      : log(folder + QStringLiteral("/TW_Error.log"), error),
        check(error, log, prompter),
        catalog(folder, folder + QStringLiteral("/VeltoDj.ini"), log, prompter),
        library(folder, error, check) {}

  CurrentError error;
  ErrorLog log;
  CommandLinePrompter prompter{{}, stderr};
  ErrorCheck check;
  MessageCatalog catalog;
  SongLibrary library;
};

}  // namespace audiolume::bench
