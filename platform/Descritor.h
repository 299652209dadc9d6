#pragma once
// A file descriptor with one owner: closed when the owner ends, moved but never copied, so
// that no error path can leak it or close it twice.
class TDescritor {
public:
    TDescritor() noexcept = default;
    explicit TDescritor(int fd) noexcept : fd_(fd) {}
    ~TDescritor();
    TDescritor(TDescritor&& outro) noexcept : fd_(outro.Solta()) {}
    TDescritor& operator=(TDescritor&& outro) noexcept;
    TDescritor(const TDescritor&) = delete;
    TDescritor& operator=(const TDescritor&) = delete;

    int Get() const noexcept { return fd_; }
    bool Aberto() const noexcept { return fd_ >= 0; }
    // Closes now and gives the error number of a failed close (0 when it closed cleanly): a
    // file system may report a lost write only there.
    int Fecha() noexcept;

private:
    int Solta() noexcept {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    int fd_ = -1;
};
