#pragma once

#include <QObject>

namespace nimbra {

// The arithmetic of the seek bar, which knows nothing of players: the
// filled fraction for a value within a range, and the value at a pointer
// position. A range narrower than 1 (an empty one too) counts as exactly 1
// wide from its lower end, a width below 1 counts as 1, and a value written
// always lies within the range's two ends.
class SeekBarModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY changed)
    Q_PROPERTY(double from READ from WRITE setFrom NOTIFY changed)
    Q_PROPERTY(double to READ to WRITE setTo NOTIFY changed)
    Q_PROPERTY(double fraction READ fraction NOTIFY changed)
    // The fill's length on a bar span pixels long, in whole pixels; it
    // changes only when a drawn pixel does.
    Q_PROPERTY(double span READ span WRITE setSpan NOTIFY spanChanged)
    Q_PROPERTY(int filledWidth READ filledWidth NOTIFY filledWidthChanged)

public:
    explicit SeekBarModel(QObject *parent = nullptr);

    double value() const { return m_value; }
    void setValue(double value);
    double from() const { return m_from; }
    void setFrom(double from);
    double to() const { return m_to; }
    void setTo(double to);
    double fraction() const { return fractionFor(m_value, m_from, m_to); }
    double span() const { return m_span; }
    void setSpan(double span);
    int filledWidth() const { return m_filledWidth; }

    static double fractionFor(double value, double from, double to);
    static double valueFor(double x, double width, double from, double to);

    // The value at pointer position x on a bar `width` wide.
    Q_INVOKABLE double valueAt(double x, double width) const { return valueFor(x, width, m_from, m_to); }

signals:
    void changed();
    void spanChanged();
    void filledWidthChanged();

private:
    template<typename T> void assign(T &member, T value);
    void updateFilledWidth();

    double m_value = 0;
    double m_from = 0;
    double m_to = 1;
    double m_span = 0;
    int m_filledWidth = 0;
};

} // namespace nimbra
