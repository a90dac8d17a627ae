#include "uit_About.h"

#include "IniFile.h"
#include "LinkLabel.h"
#include "ProgramFolder.h"
#include "Prompts.h"
#include "TgParams.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

const QString TAboutBox::SupportAddress = QStringLiteral("https://www.nelvodesk.cn/support");

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Kestra -- 关于"));
    const QString picture = nelvo::resolvePath(ProgramFolder() + QStringLiteral("about.jpg"));
    if (!ProgramIcon.load(picture))
        nelvo::prompts().message(QApplication::applicationDisplayName(),
                                 QStringLiteral("无法读取图片文件 %1").arg(picture),
                                 nelvo::Prompts::Icon::Error);

    auto label = [this](const char *name, const QString &text = QString()) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    ProductName = label("ProductName");
    Version = label("Version");
    Copyright = label("Copyright");
    Phone = label("Phone");
    Phone->hide();
    lblLink = new LinkLabel(SupportAddress, this);
    lblLink->setObjectName(QStringLiteral("lblLink"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->addWidget(label("lblApplication", QStringLiteral("应用程序：")), 0, 0);
    layout->addWidget(ProductName, 0, 1);
    layout->addWidget(label("lblVersion", QStringLiteral("软件版本：")), 1, 0);
    layout->addWidget(Version, 1, 1);
    layout->addWidget(label("lblSupport", QStringLiteral("技术支持：")), 2, 0);
    layout->addWidget(lblLink, 2, 1);
    layout->addWidget(Copyright, 3, 0, 1, 2);
    layout->addWidget(Phone, 4, 0, 1, 2);
    layout->addWidget(OKButton, 5, 1, Qt::AlignRight);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    ProductName->setText(QApplication::applicationDisplayName());
    Version->setText(QStringLiteral("V") + gParams.Version);
    Copyright->setText(IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("CopyRight")));
    Phone->setText(IniReadStr(VersionDatPath(), QStringLiteral("version"), QStringLiteral("Phone")));
    QDialog::showEvent(event);
}
