#pragma once
// The data module: owns the connection to the note database "Data\UserData.mdb".

#include <QObject>
#include <QSqlDatabase>
#include <QString>

class TDM : public QObject {
    Q_OBJECT
public:
    explicit TDM(QObject* parent = nullptr);
    ~TDM() override;

    // Opens (again) the note database beside the program. On failure shows
    // "配置文件加载失败，请重试！" and returns false. The file is never created.
    bool ConnectDatabase();

    // The creation handler: connects, and asks the application to end when that fails.
    void DataModuleCreate();

    bool Connected() const { return FConnected; }
    QSqlDatabase AdoCon() const;

    // Shows the start-up failure message; tests replace it to observe it.
    static void (*ShowFailure)(const QString& message);

private:
    QString FConnectionName;
    bool FConnected = false;
};

extern TDM* DM;
