#include "player/seekbarmodel.h"

#include "player/wholepixels.h"

#include <algorithm>
#include <cmath>

namespace nimbra {

namespace {

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

// The ends the bar stands for: at least 1 apart.
std::pair<double, double> effectiveRange(double from, double to)
{
    const double lower = finiteOr(from, 0.0);
    const double upper = std::max(finiteOr(to, lower), lower + 1.0);
    return {lower, upper};
}

} // namespace

SeekBarModel::SeekBarModel(QObject *parent) : QObject(parent) { }

template<typename T> void SeekBarModel::assign(T &member, T value)
{
    if (member == value || (std::isnan(member) && std::isnan(value)))
        return;
    member = value;
    emit changed();
    updateFilledWidth();
}

void SeekBarModel::setSpan(double span)
{
    if (span == m_span || (std::isnan(span) && std::isnan(m_span)))
        return;
    m_span = span;
    emit spanChanged();
    updateFilledWidth();
}

void SeekBarModel::updateFilledWidth()
{
    const int width = wholePixels(fraction(), m_span);
    if (width == m_filledWidth)
        return;
    m_filledWidth = width;
    emit filledWidthChanged();
}

void SeekBarModel::setValue(double value)
{
    assign(m_value, value);
}

void SeekBarModel::setFrom(double from)
{
    assign(m_from, from);
}

void SeekBarModel::setTo(double to)
{
    assign(m_to, to);
}

double SeekBarModel::fractionFor(double value, double from, double to)
{
    const auto [lower, upper] = effectiveRange(from, to);
    const double fraction = (value - lower) / (upper - lower);
    if (!(fraction > 0))
        return 0;
    return std::min(fraction, 1.0);
}

double SeekBarModel::valueFor(double x, double width, double from, double to)
{
    const auto [lower, upper] = effectiveRange(from, to);
    const double w = std::max(finiteOr(width, 1.0), 1.0);
    const double clampedX = std::clamp(finiteOr(x, 0.0), 0.0, w);
    return std::clamp(lower + (upper - lower) * clampedX / w, lower, upper);
}

} // namespace nimbra
