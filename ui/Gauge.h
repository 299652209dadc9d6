#pragma once
// The progress gauge: a bar with a single-line border, filled from the left in black on white,
// with the completed percentage centred on it in colours inverted over the bar.
#include <QWidget>

class TPaintPacer;

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progresso_; }
    // Lowering the maximum below the progress lowers the progress with it.
    void SetMaxValue(int valor);
    void SetMinValue(int valor);
    void SetProgress(int valor);
    // Adds to the progress, called once a line during a run: repainted only when what is drawn
    // changes, and at most at the display's pace; a value left unpainted is painted when that
    // pace allows or when the progress is set again, whichever comes first.
    void AddProgress(int valor);

    // The truncated whole percentage; 0 when the maximum equals the minimum.
    int PercentDone() const;
    // The width of the bar inside the border.
    int FilledWidth() const;
    // How often the gauge was painted (for the tests of a long run).
    int Pinturas() const { return pinturas_; }

protected:
    void paintEvent(QPaintEvent* evento) override;

private:
    void Atualiza();
    bool DesenhoMuda() const;

    int min_ = 0;
    int max_ = 100;
    int progresso_ = 0;
    int desenhadoPercentual_ = -1;
    int desenhadoLargura_ = -1;
    int pinturas_ = 0;
    TPaintPacer* ritmo_;
};
