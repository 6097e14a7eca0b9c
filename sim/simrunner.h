#pragma once

#include "simscenario.h"
#include "simserver.h"

#include <QThread>

#include <functional>
#include <type_traits>
#include <utility>

// Runs a SimServer on a thread of its own, so that a test may block in a synchronous client
// request on its own thread while the simulator answers. Every access to the server goes
// through call(), which runs the function on the simulator's thread and returns its result.
class SimRunnerContext;

class SimRunner
{
public:
    explicit SimRunner(const SimScenario &scenario);
    ~SimRunner();
    SimRunner(const SimRunner &) = delete;
    SimRunner &operator=(const SimRunner &) = delete;

    // Listens on 127.0.0.1; port 0 picks a free one. Returns the port, 0 on failure.
    quint16 start(quint16 port = 0);
    quint16 port() const { return m_iPort; }

    template<typename F> auto call(F &&f) -> decltype(f(std::declval<SimServer &>()))
    {
        using R = decltype(f(std::declval<SimServer &>()));
        if constexpr (std::is_void_v<R>) {
            run([&] { f(*m_pServer); });
        } else {
            R result{};
            run([&] { result = f(*m_pServer); });
            return result;
        }
    }

private:
    void run(const std::function<void()> &fn);

    QThread m_thread;
    SimRunnerContext *m_pContext = nullptr;
    SimServer *m_pServer = nullptr;
    quint16 m_iPort = 0;
};
