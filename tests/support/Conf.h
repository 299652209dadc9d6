#pragma once
// Writing connection.conf beside the test program, as the store's installer would.
#include "connection/FormatoConf.h"

#include <string>
#include <string_view>

// The values a test gives, with the ones the tool reads but does not use filled in.
struct ConfValues : TValoresConf {
    ConfValues();
};

// Writes the [connection] section beside the running program and returns the file's path.
std::string WriteConfBesideProgram(const TValoresConf& v);
// Writes raw text as connection.conf beside the running program.
std::string WriteRawConfBesideProgram(std::string_view text);
void RemoveConfBesideProgram();
