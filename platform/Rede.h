#pragma once
#include <string>

// This machine's own IPv4 address: its host name resolved afresh (Winsock's gethostname and
// gethostbyname on Windows, the resolver elsewhere), the first address in dotted decimal form.
// Fails with the socket layer's error number and text.
std::string EnderecoLocal();
