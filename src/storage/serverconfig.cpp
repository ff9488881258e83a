#include "storage/serverconfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace qv {

namespace {

// The libpq keywords a school may need; anything else is most likely a typing error.
const QStringList &knownKeys()
{
    static const QStringList keys = {
        QStringLiteral("host"), QStringLiteral("hostaddr"), QStringLiteral("port"), QStringLiteral("dbname"),
        QStringLiteral("user"), QStringLiteral("sslmode"), QStringLiteral("sslrootcert"), QStringLiteral("sslcert"),
        QStringLiteral("sslkey"), QStringLiteral("sslcrl"), QStringLiteral("connect_timeout"),
        QStringLiteral("application_name"), QStringLiteral("options"), QStringLiteral("passfile"),
        QStringLiteral("target_session_attrs"), QStringLiteral("keepalives"), QStringLiteral("keepalives_idle"),
        QStringLiteral("keepalives_interval"), QStringLiteral("keepalives_count"), QStringLiteral("gssencmode"),
        QStringLiteral("channel_binding")};
    return keys;
}

QString quotedValue(const QString &v)
{
    QString out = v;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

} // namespace

ServerConfig ServerConfig::read(const QString &folder)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(kServerFile));
    const QFileInfo fi(path);
    if (!fi.exists() && !fi.isSymLink())
        return {};
    ServerConfig c;
    c.file_ = QDir::toNativeSeparators(fi.absoluteFilePath());
    QFile f(path);
    if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
        c.state_ = State::Invalid;
        c.error_ = QStringLiteral("Il file \"%1\" non si può leggere.").arg(c.file_);
        return c;
    }
    const QByteArray bytes = f.readAll();
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() != bytes) {
        c.state_ = State::Invalid;
        c.error_ = QStringLiteral("Il file \"%1\" non è un testo (UTF-8) leggibile.").arg(c.file_);
        return c;
    }
    return parse(text, c.file_);
}

ServerConfig ServerConfig::parse(const QString &text, const QString &file)
{
    ServerConfig c;
    c.file_ = file;
    auto invalid = [&](const QString &why) {
        c.state_ = State::Invalid;
        c.pairs_.clear();
        c.error_ = QStringLiteral("Il file \"%1\" non è scritto bene: %2").arg(file.isEmpty() ? QString::fromLatin1(kServerFile) : file, why);
        return c;
    };
    QString s;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString t = line.trimmed();
        if (t.isEmpty() || t.startsWith(QLatin1Char('#')) || t.startsWith(QLatin1Char(';'))
            || (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))))
            continue;
        s += t + QLatin1Char(' ');
    }
    int i = 0;
    const int n = int(s.size());
    auto skipSpace = [&] {
        while (i < n && s.at(i).isSpace())
            ++i;
    };
    while (true) {
        skipSpace();
        if (i >= n)
            break;
        const int start = i;
        while (i < n && !s.at(i).isSpace() && s.at(i) != QLatin1Char('='))
            ++i;
        const QString key = s.mid(start, i - start);
        skipSpace();
        if (i >= n || s.at(i) != QLatin1Char('='))
            return invalid(QStringLiteral("dopo \"%1\" manca \"=\" e il valore.").arg(key));
        ++i;
        skipSpace();
        QString value;
        if (i < n && s.at(i) == QLatin1Char('\'')) {
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar ch = s.at(i++);
                if (ch == QLatin1Char('\\') && i < n) {
                    value += s.at(i++);
                } else if (ch == QLatin1Char('\'')) {
                    closed = true;
                    break;
                } else {
                    value += ch;
                }
            }
            if (!closed)
                return invalid(QStringLiteral("il valore di \"%1\" apre un apice e non lo chiude.").arg(key));
        } else {
            while (i < n && !s.at(i).isSpace()) {
                const QChar ch = s.at(i++);
                if (ch == QLatin1Char('\\') && i < n)
                    value += s.at(i++);
                else
                    value += ch;
            }
        }
        if (key.compare(QLatin1String("password"), Qt::CaseInsensitive) == 0)
            return invalid(QStringLiteral("la password non si scrive in questo file; mettila nel file delle password "
                                          "di PostgreSQL (~/.pgpass, o quello indicato da PGPASSFILE)."));
        if (!knownKeys().contains(key))
            return invalid(QStringLiteral("\"%1\" non è una voce di collegamento conosciuta (si usano host, port, "
                                          "dbname, user, sslmode).")
                               .arg(key));
        // The driver reads ";" as a separator of its own options.
        if (value.contains(QLatin1Char(';')))
            return invalid(QStringLiteral("il valore di \"%1\" contiene \";\".").arg(key));
        c.pairs_.append({key, value});
    }
    if (c.pairs_.isEmpty())
        return invalid(QStringLiteral("non nomina nessun server (ci vogliono almeno host e dbname)."));
    c.state_ = State::Ready;
    return c;
}

QString ServerConfig::value(const QString &key) const
{
    QString v;
    for (const auto &p : pairs_)
        if (p.first == key)
            v = p.second; // the last one counts, as for libpq
    return v;
}

ServerConfig ServerConfig::with(const QString &key, const QString &value) const
{
    ServerConfig c = *this;
    c.pairs_.removeIf([&](const QPair<QString, QString> &p) { return p.first == key; });
    c.pairs_.append({key, value});
    return c;
}

QString ServerConfig::connectionString() const
{
    QStringList parts;
    // A server that does not answer must not keep a pupil waiting for minutes.
    if (value(QStringLiteral("connect_timeout")).isEmpty())
        parts << QStringLiteral("connect_timeout=5");
    for (const auto &p : pairs_)
        parts << p.first + QLatin1Char('=') + quotedValue(p.second);
    return parts.join(QLatin1Char(' '));
}

QString ServerConfig::describe() const
{
    const QString host = value(QStringLiteral("host")).isEmpty() ? value(QStringLiteral("hostaddr")) : value(QStringLiteral("host"));
    const QString port = value(QStringLiteral("port"));
    QString where = host.isEmpty() ? QStringLiteral("locale") : host;
    if (!port.isEmpty())
        where += QStringLiteral(" (porta %1)").arg(port);
    const QString db = value(QStringLiteral("dbname"));
    return db.isEmpty() ? QStringLiteral("server %1").arg(where)
                        : QStringLiteral("database \"%1\" sul server %2").arg(db, where);
}

} // namespace qv
