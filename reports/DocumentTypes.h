#pragma once

#include <QString>
#include <vector>

namespace kront
{

// One verified sensor offered for a document.
struct TSensOpts {
    int SensorID = 0; // PovSensorID<k> of the bunch row (= Sensors.ID)
    int BunchID = 0;
    int ChannelNum = 0;
    int InputNum = 0;      // 1..4
    QString Result;        // ResultInp<k>, "Бр." given as "Брак"
    QString DocNum;        // DocNumInp<k>; empty when no document was issued
    QString SerialNum;     // Sensors.SerialNum
    QString ProdYear;      // Sensors.ProdYear as text
    QString TypeName;      // Sensors.TypeName
    QString NSHType;       // Sensors.NSHType: the Latin code ("THA")
    QString Owner;         // Sensors.Owner
    double Diameter = 0;   // Sensors.Diameter
    double Mass = 0;       // Sensors.Mass
    QString EmittedDocID;  // EmittedDocIDInp<k> as text; empty when none
    bool Selected = false; // ticked in the chooser

    bool isReject() const { return Result == QStringLiteral("Брак"); }
};

// The document being issued or reprinted; every field is text.
struct TEmittedDoc {
    QString MetrologyOrganName; // in single quotes for a new document
    QString SvidNum;            // certificate number
    QString IzvNum;             // notice number
    QString DateActing;         // valid until
    QString NameSI;     // "Преобразователь термоэлектрический ..."
    QString SerNumPred; // previous mark
    QString ZavNum;     // serial number
    QString ProdYear;
    QString Owner;
    QString PovKind; // "периодической" or "первичной"
    QString Class;   // class number or "Брак"
    QString Prichina;
    QString DolgRuk;
    QString NameRuk;
    QString NamePov;
    QString DateDoc; // "dd.mm.yyyy"
    QString Glubina;
    QString Dlina;
    QString Diameter;
    QString Massa;
};

// What the report callback reads while a certificate or notice is shown.
struct DocumentState {
    bool DocPrintMode = false;
    int poverkaID = 0; // the verification whose sensors get documents
    std::vector<TSensOpts> ChosenSensors;
    int ChosenSensorPos = 0;
    TEmittedDoc EmittedDoc;

    const TSensOpts *current() const
    {
        return ChosenSensorPos >= 0 && ChosenSensorPos < int(ChosenSensors.size())
                   ? &ChosenSensors[ChosenSensorPos]
                   : nullptr;
    }
};

} // namespace kront
