// A stand-in for the report viewer, for the tests that start it. It appends one record of
// how it was started to the file named by CADOFERTAS_FAKE_VIEWER_LOG:
//   start / prog=<argv[0]> / arg=<each argument> / cwd=<its folder> / end
// written at once. When CADOFERTAS_FAKE_VIEWER_RELEASE names a file, it then stays alive
// until that file exists (at most 30 s) and appends "done".
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

void Acrescenta(const char* arquivo, const std::string& texto) {
    int fd = ::open(arquivo, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return;
    ssize_t escrito = ::write(fd, texto.data(), texto.size());
    (void)escrito;
    ::close(fd);
}

} // namespace

int main(int argc, char** argv) {
    const char* registro = std::getenv("CADOFERTAS_FAKE_VIEWER_LOG");
    if (!registro)
        return 0;
    std::string texto = "start\nprog=" + std::string(argv[0]) + "\n";
    for (int i = 1; i < argc; ++i)
        texto += "arg=" + std::string(argv[i]) + "\n";
    std::error_code erro;
    texto += "cwd=" + std::filesystem::current_path(erro).string() + "\n";
    texto += "end\n";
    Acrescenta(registro, texto);

    if (const char* liberacao = std::getenv("CADOFERTAS_FAKE_VIEWER_RELEASE")) {
        auto limite = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!std::filesystem::exists(liberacao, erro) &&
               std::chrono::steady_clock::now() < limite)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Acrescenta(registro, "done\n");
    }
    return 0;
}
