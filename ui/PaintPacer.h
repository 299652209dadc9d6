#pragma once
// Paces a widget's repaints during a long run to the display's rate. The widget's value changes
// at once; what reaches the screen is painted at most once an interval, and a change left
// unpainted is painted when its interval is over even if no further change comes, so that the
// screen catches up when the run ends, stops or fails. Over X every paint is a round trip to the
// display server, which would otherwise cost more than a line's own work.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <chrono>

class QWidget;

class TPaintPacer : public QObject {
public:
    explicit TPaintPacer(QWidget* alvo,
                         std::chrono::milliseconds intervalo = std::chrono::milliseconds(16));

    // A change to show: painted now when the last paint is an interval old, else at its end.
    void Pede();
    // A change still waiting is painted now (the run's last value, before the run moves on).
    void Conclui();

private:
    void Pinta();

    QWidget* alvo_;
    std::chrono::milliseconds intervalo_;
    QElapsedTimer desde_;
    QTimer pendente_;
};
