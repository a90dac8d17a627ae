#pragma once

#include <QString>

#include <array>
#include <cstdint>

// The run-state record: filled from config.ini when the main window is created and read by every window.
struct TgParams
{
    int32_t cgroupsequence = 0;
    int32_t ptypesequence = 0;
    QString LoginID;
    QString AccountPwd;
    QString clientuser;
    double Balance = 0;
    QString Version;
    // Characters per message for carrier classes 0..3 (Unicom, Mobile, Telecom, PHS).
    std::array<int32_t, 4> SmsLengths{};
    uint8_t OnlineFlag = 1;
    int32_t RecvEnabled = 1;
    int32_t UseProxy = 0;
    int32_t ChannelLength = 0;
    int32_t psmsfoldersequence = 0;
    int32_t AutoRecInterval = 0;
    int32_t AutoRecSMS = 0;
};

// The one instance of the run.
extern TgParams gParams;

// Paths of the two settings files, as the program spells them.
QString ConfigIniPath();
QString VersionDatPath();

// Fills the settings-backed fields of gParams from config.ini in the order the main window's creation
// reads them (counters, account, version, automatic receiving, proxy).
void LoadParamsFromConfig(TgParams &params);
// Writes what the run may have changed back to config.ini: AutoRecSMS and the three id counters.
void SaveParamsToConfig(const TgParams &params);
// The channel length as stored: 0 or less (or not a number) means 70.
int ReadChannelLength();
