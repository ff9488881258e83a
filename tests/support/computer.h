// One computer of the exchange tests: its own results database and its archive showing
// class C, with the archive's export and import buttons.
#pragma once

#include "archive/archivio.h"
#include "storage/database.h"
#include "storage/recordset.h"
#include "support/fakes.h"

#include <QVariantMap>

namespace qv::test {

struct Computer {
    ModelEnv env{"prima-C", ModelEnv::Road::Archive};
    ArchivioModel archivio{env.session};
    Database &db() { return *env.session.state.dbrisultati; }

    // A record of class C with the given fields; its data value, empty if it was refused.
    QString add(const QString &nome, const QVariantMap &more = {})
    {
        auto rs = db().openRecordset("prima-C");
        rs->addNew();
        rs->setField("nome", nome);
        for (auto it = more.begin(); it != more.end(); ++it)
            rs->setField(it.key(), it.value());
        if (!rs->update())
            return {};
        rs->setBookmark(rs->lastModified());
        return rs->field("data").toString();
    }
    int count() { return db().openRecordset("prima-C")->recordCount(); }
    QString lastAlert() const { return env.dialogs.alerts.isEmpty() ? QString() : env.dialogs.alerts.last(); }
    void exportTo(const QString &folder)
    {
        env.dialogs.folder = folder;
        archivio.chooseClass(2);
        archivio.CreaTabellaEXP();
    }
    void importFrom(const QString &folder)
    {
        env.dialogs.folder = folder;
        archivio.chooseClass(2);
        archivio.importo();
    }
};

} // namespace qv::test
