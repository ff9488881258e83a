#include "printout/printlines.h"

namespace qv {

PrintLines &PrintLines::tab(int column)
{
    if (column < 1)
        column = 1;
    const int position = int(current_.size()) + 1; // the column the next character takes
    if (position > column) {
        done_ << current_;
        current_.clear();
    }
    current_ += QString(column - 1 - int(current_.size()), QLatin1Char(' '));
    open_ = true;
    return *this;
}

PrintLines &PrintLines::text(const QString &t)
{
    current_ += t;
    open_ = true;
    return *this;
}

PrintLines &PrintLines::number(int n)
{
    current_ += (n < 0 ? QStringLiteral("-") : QStringLiteral(" ")) + QString::number(qAbs(n)) + QLatin1Char(' ');
    open_ = true;
    return *this;
}

PrintLines &PrintLines::endLine()
{
    done_ << current_;
    current_.clear();
    open_ = false;
    return *this;
}

QStringList PrintLines::lines() const
{
    QStringList out = done_;
    if (open_)
        out << current_;
    return out;
}

} // namespace qv
