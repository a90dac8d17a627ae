#include "SendRecords.h"

#include "Clock.h"
#include "NumberStore.h"
#include "uit_DataBase.h"

namespace {

const QString kInsertRow = QStringLiteral(
    "insert into smssendlist "
    "(loginid,sendlist,sendtext,sendtime,schetime,listcount,committime,sequence,smsfolder,sendstatus)\n"
    "values(:Ploginid,:Psendlist,:Psendtext,:Psendtime,:Pschetime,:plistcount,:pcommittime,"
    ":psequence,:psmsfolder,:psendstatus)");

// An empty text is stored as empty text; a null one would become NULL.
QString textValue(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

void WriteSendRecord(TdmData &data, const SendRecord &record)
{
    const NumberStore &numbers = *record.numbers;
    const QString when = DbDateTime(nelvo::now());
    const QVariant noTime{QMetaType(QMetaType::QString)};
    data.Query(
        kInsertRow,
        {{QStringLiteral(":Ploginid"), textValue(record.loginId)},
         {QStringLiteral(":Psendlist"), textValue(numbers.size() == 1 ? numbers.at(0) : record.numberFile)},
         {QStringLiteral(":Psendtext"), textValue(record.text)},
         {QStringLiteral(":Psendtime"), when},
         {QStringLiteral(":Pschetime"), textValue(record.scheduleTime)},
         {QStringLiteral(":plistcount"), double(numbers.size())},
         {QStringLiteral(":pcommittime"), record.accepted ? QVariant(when) : noTime},
         {QStringLiteral(":psequence"), textValue(record.accepted ? record.sequence : QString())},
         {QStringLiteral(":psmsfolder"), record.accepted ? 2 : 3},
         {QStringLiteral(":psendstatus"), record.accepted ? 1 : 0}});
}
