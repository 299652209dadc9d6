#pragma once
// A store's network, simulated on loopback: a TCP relay that listens on an address of its own
// at port 3306 and forwards every connection to the server, holding each chunk it reads for a
// while in each direction. (The kernel here has no netem to delay loopback traffic.)
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

class TRelay {
public:
    TRelay(const std::string& endereco, const std::string& servidor,
           std::chrono::microseconds atraso);
    ~TRelay(); // stops listening and closes every connection
    TRelay(const TRelay&) = delete;
    TRelay& operator=(const TRelay&) = delete;

    const std::string& Endereco() const { return endereco_; }

private:
    void Aceita();
    void Liga(int cliente);

    std::string endereco_, servidor_;
    std::chrono::microseconds atraso_;
    int escuta_ = -1;
    std::atomic<bool> parar_{false};
    std::vector<int> sockets_; // touched by the accepting thread only, closed at the end
    std::vector<std::thread> fluxos_;
    std::thread aceitador_;
};
