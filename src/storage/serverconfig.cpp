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

QString ServerConfig::passwordFile() const
{
    if (const QString f = value(QStringLiteral("passfile")); !f.isEmpty())
        return f;
    if (const QString f = qEnvironmentVariable("PGPASSFILE"); !f.isEmpty())
        return f;
    return QDir::home().filePath(QStringLiteral(".pgpass"));
}

QString ServerConfig::explainFailure(const QString &engineText) const
{
    const QString t = engineText.simplified();
    const QString l = t.toLower();
    // Each cause by libpq's, the server's and the C library's English text and by their
    // Italian translations, which a computer or a server set up in Italian gives instead.
    auto has = [&l](std::initializer_list<const char *> texts) {
        for (const char *s : texts)
            if (l.contains(QString::fromUtf8(s)))
                return true;
        return false;
    };
    auto valueOr = [this](const char *key, const QString &fallback) {
        const QString v = value(QString::fromLatin1(key));
        return v.isEmpty() ? fallback : v;
    };
    const QString ini = file_.isEmpty() ? QString::fromLatin1(kServerFile) : file_;
    const QString host = valueOr("host", value(QStringLiteral("hostaddr")));
    const QString port = valueOr("port", qEnvironmentVariable("PGPORT", QStringLiteral("5432")));
    const QString user = valueOr("user", qEnvironmentVariable("PGUSER", qEnvironmentVariable("USER")));
    const QString dbname = valueOr("dbname", user);
    const QString pass = passwordFile();
    const QString passNamed = !value(QStringLiteral("passfile")).isEmpty()
        ? QStringLiteral("\"%1\" (indicato da passfile nel file \"%2\")").arg(pass, ini)
        : !qEnvironmentVariable("PGPASSFILE").isEmpty()
        ? QStringLiteral("\"%1\" (indicato dalla variabile PGPASSFILE)").arg(pass)
        : QStringLiteral("\"%1\"").arg(pass);
    const QString passLine = QStringLiteral("%1:%2:%3:%4:la-password")
                                 .arg(host.isEmpty() ? QStringLiteral("localhost") : host, port, dbname, user);

    QString cause, todo;
    if (has({"password authentication failed", "autenticazione con password fallita"})) {
        cause = QStringLiteral("il server non accetta la password dell'utente \"%1\"").arg(user);
        todo = QStringLiteral("Controlla la password scritta per questo server nel file delle password %1: deve essere "
                              "quella data all'utente \"%2\" sul server.")
                   .arg(passNamed, user);
    } else if (has({"no password supplied"})) {
        // libpq says only this when it passed over the password file: see why.
        const QFileInfo fi(pass);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther
            | QFile::WriteOther | QFile::ExeOther;
        if (!fi.exists()) {
            cause = QStringLiteral("il server chiede la password dell'utente \"%1\", ma il file delle password %2 non c'è")
                        .arg(user, passNamed);
            todo = QStringLiteral("Crea quel file con la riga  %1  (con la password vera) e rendilo leggibile solo da "
                                  "te con il comando  chmod 600 %2")
                       .arg(passLine, pass);
        } else if (!fi.isFile()) {
            cause = QStringLiteral("al posto del file delle password %1 c'è qualcosa che non è un file (per esempio "
                                   "una cartella), e PostgreSQL non lo legge")
                        .arg(passNamed);
            todo = QStringLiteral("Al suo posto metti un file con la riga  %1  (con la password vera).").arg(passLine);
        } else if (fi.permissions() & others) {
            cause = QStringLiteral("il file delle password %1 si può leggere o cambiare anche da altri utenti di questo "
                                   "computer, e per questo PostgreSQL non lo usa")
                        .arg(passNamed);
            todo = QStringLiteral("Rendilo leggibile solo da te con il comando  chmod 600 %1").arg(pass);
        } else {
            cause = QStringLiteral("il server chiede la password dell'utente \"%1\", ma nel file delle password %2 "
                                   "non c'è una riga per questo server")
                        .arg(user, passNamed);
            todo = QStringLiteral("Aggiungi a quel file la riga  %1  (con la password vera).").arg(passLine);
        }
    } else if (has({"peer authentication failed", "ident authentication failed", "autenticazione peer fallita",
                    "autenticazione ident fallita"})) {
        cause = QStringLiteral("il server fa entrare l'utente \"%1\" solo a chi è entrato in questo computer con lo "
                               "stesso nome")
                    .arg(user);
        todo = QStringLiteral("Nel file pg_hba.conf del server dai a questo utente l'accesso con password "
                              "(scram-sha-256), oppure nomina nel file \"%1\" l'utente giusto.")
                   .arg(ini);
    } else if (has({"no pg_hba.conf entry", "nessuna voce in pg_hba.conf"})) {
        cause = QStringLiteral("il server non ammette collegamenti da questo computer per l'utente \"%1\" e il "
                               "database \"%2\"")
                    .arg(user, dbname);
        todo = QStringLiteral("Nel file pg_hba.conf del server aggiungi la riga per la rete del laboratorio (come "
                              "spiega il README), poi riavvia PostgreSQL.");
    } else if (has({"role \"", "il ruolo \""}) && has({"does not exist", "non esiste"})) {
        cause = QStringLiteral("sul server non c'è l'utente \"%1\"").arg(user);
        todo = QStringLiteral("Controlla user nel file \"%1\", oppure crea l'utente sul server (createuser).").arg(ini);
    } else if (has({"database \""}) && has({"does not exist", "non esiste"})) {
        cause = QStringLiteral("sul server non c'è il database \"%1\"").arg(dbname);
        todo = QStringLiteral("Controlla dbname nel file \"%1\", oppure crea il database sul server (createdb) e "
                              "preparalo con  mkquorvane --server.")
                   .arg(ini);
    } else if (has({"permission denied for database", "connect privilege", "permesso negato per il database",
                    "privilegio connect"})) {
        cause = QStringLiteral("l'utente \"%1\" non ha il permesso di collegarsi al database \"%2\"").arg(user, dbname);
        todo = QStringLiteral("Sul server daglielo con  GRANT CONNECT ON DATABASE %1 TO %2;").arg(dbname, user);
    } else if (has({"no such file or directory", "file o directory non esistente"})) {
        // A Unix socket: a server of this very computer, or a folder given as host.
        cause = host.isEmpty() ? QStringLiteral("su questo computer non risponde nessun server PostgreSQL")
                               : QStringLiteral("nella cartella \"%1\" di questo computer non risponde nessun server "
                                                "PostgreSQL")
                                     .arg(host);
        todo = QStringLiteral("Controlla che il computer sia acceso e che PostgreSQL vi sia avviato (sudo systemctl "
                              "start postgresql), e che host nel file \"%1\" sia giusto.")
                   .arg(ini);
    } else if (has({"connection refused", "connessione rifiutata"})) {
        cause = QStringLiteral("il computer \"%1\" risponde, ma PostgreSQL non accetta collegamenti sulla porta %2")
                    .arg(host.isEmpty() ? QStringLiteral("localhost") : host, port);
        todo = QStringLiteral("Controlla che PostgreSQL sia avviato sul server, che listen_addresses in "
                              "postgresql.conf lo apra alla rete e che port nel file \"%1\" sia giusto.")
                   .arg(ini);
    } else if (has({"could not translate host name", "name or service not known", "temporary failure in name resolution",
                    "conversione del nome host", "nome o servizio sconosciuto", "risoluzione del nome"})) {
        cause = QStringLiteral("nella rete non si trova nessun computer di nome \"%1\"").arg(host);
        todo = QStringLiteral("Controlla host nel file \"%1\" (va bene anche l'indirizzo, per esempio 192.168.1.10) e "
                              "che questo computer sia collegato alla rete.")
                   .arg(ini);
    } else if (has({"timeout expired", "timed out", "no route to host", "network is unreachable", "timeout scaduto",
                    "connessione scaduta", "nessun instradamento", "rete non è raggiungibile"})) {
        cause = QStringLiteral("il server \"%1\" non risponde dalla rete").arg(host);
        todo = QStringLiteral("Controlla che il server sia acceso e che questo computer sia collegato alla rete del "
                              "laboratorio; un firewall deve lasciar passare la porta %1.")
                   .arg(port);
    } else if (has({"server does not support ssl", "il server non supporta ssl"})) {
        cause = QStringLiteral("il file \"%1\" chiede un collegamento cifrato (sslmode), ma il server non lo offre").arg(ini);
        todo = QStringLiteral("Attiva SSL sul server (ssl = on in postgresql.conf).");
    } else if (has({"certificate", "certificato", "ssl error", "ssl syscall"})) {
        cause = QStringLiteral("il collegamento cifrato con il server non riesce: il suo certificato manca o non è quello "
                               "atteso");
        todo = QStringLiteral("Controlla sslmode e sslrootcert nel file \"%1\" e il certificato del server.").arg(ini);
    } else if (has({"starting up", "shutting down", "in recovery mode", "not yet accepting connections",
                    "si sta avviando", "si sta spegnendo", "modalità di ripristino", "non accetta ancora connessioni"})) {
        cause = QStringLiteral("PostgreSQL sul server si sta avviando o fermando");
        todo = QStringLiteral("Aspetta un minuto e riprova.");
    } else if (has({"too many clients", "connection slots are reserved", "troppi client", "slot di connessione"})) {
        cause = QStringLiteral("sul server ci sono già troppi collegamenti aperti");
        todo = QStringLiteral("Chiudi il programma sui computer che non lo usano, oppure aumenta max_connections in "
                              "postgresql.conf del server.");
    } else {
        cause = QStringLiteral("il server non risponde come dovrebbe");
        todo = QStringLiteral("Controlla che il server sia acceso e raggiungibile dalla rete, che PostgreSQL vi sia "
                              "avviato e che host, port, dbname e user nel file \"%1\" siano giusti.")
                   .arg(ini);
    }
    return t.isEmpty() ? cause + QStringLiteral(".\n") + todo
                       : cause + QStringLiteral(".\n") + todo + QStringLiteral("\n(Risposta di PostgreSQL: %1)").arg(t);
}

} // namespace qv
