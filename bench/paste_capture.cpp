// Writes the generated spreadsheet capture the paste benchmark cleans, as UTF-8, so that
// the whole `qorva clean` process can be timed on it:
//   paste_capture 10 /tmp/capture-10MB.html
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "paste/samples/paste_samples.h"
#include "support/encoding.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: paste_capture MEGABYTES FILE\n";
    return 2;
  }
  const size_t megabytes = std::strtoul(argv[1], nullptr, 10);
  const std::string bytes =
      qorva::ToUtf8(qorva::samples::ExcelDocumentOfSize(megabytes * 1000 * 1000, 7));
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out ? 0 : 1;
}
