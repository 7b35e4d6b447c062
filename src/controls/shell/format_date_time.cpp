#include "controls/shell/format_date_time.h"

#include <QLocale>
#include <cctype>

namespace lumeno {

namespace {

bool StartsWithNoCase(const std::string& s, std::size_t pos, const char* what)
{
    for (std::size_t i = 0; what[i]; ++i)
        if (pos + i >= s.size() || std::tolower(static_cast<unsigned char>(s[pos + i])) != what[i])
            return false;
    return true;
}

std::size_t RunLength(const std::string& s, std::size_t pos)
{
    const int c = std::tolower(static_cast<unsigned char>(s[pos]));
    std::size_t n = 0;
    while (pos + n < s.size() && std::tolower(static_cast<unsigned char>(s[pos + n])) == c)
        ++n;
    return n;
}

std::string Separator(QLocale::FormatType type, bool time)
{
    const QLocale locale;
    const QString format = time ? locale.timeFormat(type) : locale.dateFormat(type);
    for (const QChar c : format)
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace())
            return QString(c).toStdString();
    return time ? ":" : "/";
}

// The locale's time with seconds and without the zone.
std::string LongTime(const QTime& time)
{
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale().toString(time, format.trimmed()).toStdString();
}

std::string Number(int value, int width)
{
    std::string s = std::to_string(value);
    while (static_cast<int>(s.size()) < width)
        s.insert(s.begin(), '0');
    return s;
}

class TFormatter {
public:
    TFormatter(const std::string& format, const QDateTime& value)
        : format_(format), date_(value.date()), time_(value.time()), twelveHour_(HasAmPm(format))
    {
    }

    std::string Run()
    {
        while (pos_ < format_.size())
            Token();
        return out_;
    }

private:
    static bool HasAmPm(const std::string& f)
    {
        for (std::size_t i = 0; i < f.size(); ++i)
            if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") ||
                StartsWithNoCase(f, i, "ampm"))
                return true;
        return false;
    }

    void Token()
    {
        const char c = format_[pos_];
        const int lower = std::tolower(static_cast<unsigned char>(c));
        if (c == '\'' || c == '"')
            return Quoted(c);
        if (lower == 'a' && AmPm())
            return;
        const std::size_t n = RunLength(format_, pos_);
        bool wasHour = false;
        switch (lower) {
        case 'c':
            out_ += QLocale().toString(date_, QLocale::ShortFormat).toStdString() + " " + LongTime(time_);
            pos_ += 1;
            break;
        case 'd':
            Day(n);
            break;
        case 'm':
            if (afterHour_)
                Minute(std::min<std::size_t>(n, 2));
            else
                Month(n);
            break;
        case 'y':
            out_ += n <= 2 ? Number(date_.year() % 100, 2) : Number(date_.year(), 4);
            pos_ += n;
            break;
        case 'h':
            Hour(std::min<std::size_t>(n, 2));
            wasHour = true;
            break;
        case 'n':
            Minute(std::min<std::size_t>(n, 2));
            break;
        case 's':
            out_ += Number(time_.second(), n >= 2 ? 2 : 1);
            pos_ += std::min<std::size_t>(n, 2);
            break;
        case 'z':
            out_ += Number(time_.msec(), n >= 3 ? 3 : 1);
            pos_ += std::min<std::size_t>(n, 3);
            break;
        case 't':
            out_ += n >= 2 ? LongTime(time_) : QLocale().toString(time_, QLocale::ShortFormat).toStdString();
            pos_ += std::min<std::size_t>(n, 2);
            break;
        case '/':
            out_ += Separator(QLocale::ShortFormat, false);
            ++pos_;
            return;
        case ':':
            out_ += Separator(QLocale::ShortFormat, true);
            ++pos_;
            return;
        default:
            // Only letters count as the token before a minute "m".
            out_ += c;
            ++pos_;
            return;
        }
        afterHour_ = wasHour;
    }

    void Quoted(char quote)
    {
        const std::size_t end = format_.find(quote, pos_ + 1);
        const std::size_t stop = end == std::string::npos ? format_.size() : end;
        out_ += format_.substr(pos_ + 1, stop - pos_ - 1);
        pos_ = end == std::string::npos ? format_.size() : end + 1;
    }

    bool AmPm()
    {
        const bool pm = time_.hour() >= 12;
        if (StartsWithNoCase(format_, pos_, "am/pm")) {
            const bool upper = std::isupper(static_cast<unsigned char>(format_[pos_]));
            out_ += pm ? (upper ? "PM" : "pm") : (upper ? "AM" : "am");
            pos_ += 5;
        } else if (StartsWithNoCase(format_, pos_, "a/p")) {
            const bool upper = std::isupper(static_cast<unsigned char>(format_[pos_]));
            out_ += pm ? (upper ? "P" : "p") : (upper ? "A" : "a");
            pos_ += 3;
        } else if (StartsWithNoCase(format_, pos_, "ampm")) {
            out_ += (pm ? QLocale().pmText() : QLocale().amText()).toStdString();
            pos_ += 4;
        } else {
            return false;
        }
        return true;
    }

    void Day(std::size_t n)
    {
        const QLocale locale;
        if (n >= 6)
            out_ += locale.toString(date_, QLocale::LongFormat).toStdString();
        else if (n == 5)
            out_ += locale.toString(date_, QLocale::ShortFormat).toStdString();
        else if (n == 4)
            out_ += locale.dayName(date_.dayOfWeek(), QLocale::LongFormat).toStdString();
        else if (n == 3)
            out_ += locale.dayName(date_.dayOfWeek(), QLocale::ShortFormat).toStdString();
        else
            out_ += Number(date_.day(), static_cast<int>(n));
        pos_ += std::min<std::size_t>(n, 6);
    }

    void Month(std::size_t n)
    {
        const QLocale locale;
        if (n >= 4)
            out_ += locale.monthName(date_.month(), QLocale::LongFormat).toStdString();
        else if (n == 3)
            out_ += locale.monthName(date_.month(), QLocale::ShortFormat).toStdString();
        else
            out_ += Number(date_.month(), static_cast<int>(n));
        pos_ += std::min<std::size_t>(n, 4);
    }

    void Hour(std::size_t n)
    {
        int hour = time_.hour();
        if (twelveHour_) {
            hour %= 12;
            if (hour == 0)
                hour = 12;
        }
        out_ += Number(hour, static_cast<int>(n));
        pos_ += n;
    }

    void Minute(std::size_t n)
    {
        out_ += Number(time_.minute(), static_cast<int>(n));
        pos_ += n;
    }

    const std::string& format_;
    QDate date_;
    QTime time_;
    bool twelveHour_;
    bool afterHour_ = false;
    std::size_t pos_ = 0;
    std::string out_;
};

} // namespace

std::string FormatDateTime(const std::string& format, const QDateTime& value)
{
    return TFormatter(format, value).Run();
}

} // namespace lumeno
