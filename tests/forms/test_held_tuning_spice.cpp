// SPDX-License-Identifier: GPL-3.0-or-later
// The held set's network solved by ngspice, against the engine's own solution of it.
#include "calculators/MutualInductanceDlg.h"
#include "models/ReceiverSelectivity.h"
#include "tests/forms/FormTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>
#include <complex>
#include <cstdio>
#include <map>

namespace
{
using D = CMutualInductanceDlg;

constexpr double TwoPi = 6.283185307179586;
constexpr double Span = 30e3; // Hz either side of f0
constexpr int Points = 61;    // 1 kHz apart

QString Num(double value)
{
    return QString::number(value, 'e', 15);
}

double Coupling(const CHeldTuning& held)
{
    return held.m_Mutual / std::sqrt(held.m_PrimaryInductance * held.m_SecondaryInductance);
}

// A held reactance as the element that has it at f0: C for a negative one, L for a positive
// one, none for 0.
QString Reactance(const QString& name, const QString& from, const QString& to, double x, double f0)
{
    if (x < 0.0)
        return QStringLiteral("C%1 %2 %3 %4\n").arg(name, from, to, Num(-1.0 / (TwoPi * f0 * x)));
    if (x > 0.0)
        return QStringLiteral("L%1 %2 %3 %4\n").arg(name, from, to, Num(x / (TwoPi * f0)));
    return {};
}

// The held network: the primary loop from the source to the coil as one series chain, the
// secondary coil closed by the tuning and the detector, the tap an ideal autotransformer's
// fraction of the secondary's voltage.
QString Netlist(const CHeldTuning& held, const QString& output)
{
    const double f0 = held.m_WorkingFrequency;
    QString net = QStringLiteral("* held tuning at f0 = %1 Hz\n").arg(Num(f0));
    net += QStringLiteral("V1 p0 0 AC %1\n").arg(Num(held.m_SourceVoltage));
    int node = 0;
    // Each series part from the last node to a new one; a part that is absent adds none.
    const auto series = [&](const QString& part)
    {
        if (part.isEmpty())
            return;
        net += part;
        ++node;
    };
    const auto from = [&] { return QStringLiteral("p%1").arg(node); };
    const auto to = [&] { return QStringLiteral("p%1").arg(node + 1); };
    series(QStringLiteral("RS %1 %2 %3\n").arg(from(), to(), Num(held.m_SourceResistance)));
    series(Reactance(QStringLiteral("S"), from(), to(), held.m_Source.m_AtF0, f0));
    series(Reactance(QStringLiteral("RQ"), from(), to(), held.m_PrimaryTuning.m_AtF0, f0));
    series(Reactance(QStringLiteral("TO"), from(), to(), held.m_TuneOut.m_AtF0, f0));
    series(QStringLiteral("R1 %1 %2 %3\n").arg(from(), to(), Num(held.m_PrimaryResistance)));
    net += QStringLiteral("L1 %1 0 %2\n").arg(from(), Num(held.m_PrimaryInductance));

    net += QStringLiteral("L2 s c %1\n").arg(Num(held.m_SecondaryInductance));
    net += QStringLiteral("R2 c 0 %1\n").arg(Num(held.m_SecondaryResistance));
    net += QStringLiteral("K12 L1 L2 %1\n").arg(Num(Coupling(held)));
    net += Reactance(QStringLiteral("T"), QStringLiteral("s"), QStringLiteral("0"),
                     held.m_Tuning.m_AtF0, f0);
    if (held.m_DetectorResistance > 0.0)
        net += QStringLiteral("RD s 0 %1\n").arg(Num(held.m_DetectorResistance));
    net += QStringLiteral("ETAP tap 0 s 0 %1\n").arg(Num(held.m_TapFraction));

    net += QStringLiteral(".ac lin %1 %2 %3\n").arg(Points).arg(Num(f0 - Span), Num(f0 + Span));
    net += QStringLiteral(".control\nset wr_singlescale\nset numdgt=12\nrun\n"
                          "let vtap = mag(v(tap))\nwrdata %1 vtap\nquit\n.endc\n.end\n")
               .arg(output);
    return net;
}

struct CDesign
{
    const char* m_Name;
    double m_Distance; // m
    int m_Tap;
};

class HeldTuningSpice : public CFormTest<CMutualInductanceDlg>
{
protected:
    HeldTuningSpice() : CFormTest(QStringLiteral("CrystalRadio")) {}
};

TEST_F(HeldTuningSpice, NgspiceSolvesTheHeldNetworkAsTheEngineDoes)
{
    const QString ngspice = QStandardPaths::findExecutable(QStringLiteral("ngspice"));
    if (ngspice.isEmpty())
        GTEST_SKIP() << "ngspice is not on the PATH (scripts/install-deps.sh installs it)";

    const CDesign designs[] = {{"default", 0.050, 20}, {"loose", 0.150, 20}, {"tight", 0.010, 30}};
    std::map<std::string, double> coupling;
    for (const CDesign& design : designs)
    {
        SCOPED_TRACE(design.m_Name);
        Type(D::IdTapLoop, QString::number(design.m_Tap));
        const std::optional<CHeldTuning> held = m_Form->HeldTuning(design.m_Distance);
        ASSERT_TRUE(held) << (m_Messages.m_Messages.empty() ? std::string("refused")
                                                            : m_Messages.m_Messages.back().text);
        coupling[design.m_Name] = Coupling(*held);

        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString output = dir.filePath(QStringLiteral("vtap.txt"));
        const QString netlist = Netlist(*held, output);
        QFile file(dir.filePath(QStringLiteral("held.cir")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(netlist.toLatin1());
        file.close();

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        process.start(ngspice, {QStringLiteral("-b"), file.fileName()});
        ASSERT_TRUE(process.waitForFinished(60000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();

        QFile result(output);
        ASSERT_TRUE(result.open(QIODevice::ReadOnly)) << netlist.toStdString();
        const QStringList rows =
            QString::fromLatin1(result.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        ASSERT_EQ(rows.size(), Points) << netlist.toStdString();

        double worst = 0.0;
        double worstAt = 0.0;
        for (const QString& row : rows)
        {
            const QStringList columns = row.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            ASSERT_EQ(columns.size(), 2) << row.toStdString();
            const double f = columns[0].toDouble();
            const double spice = columns[1].toDouble();
            const double engine = std::abs(held->TapVoltage(f));
            const double deviation = std::abs(engine / spice - 1.0);
            if (deviation >= worst)
            {
                worst = deviation;
                worstAt = f;
            }
        }
        EXPECT_LT(worst, 0.01) << "at " << worstAt << " Hz\n" << netlist.toStdString();
        RecordProperty(std::string(design.m_Name) + "_worst_percent",
                       QString::number(worst * 100, 'e', 2).toStdString());
        std::printf("held tuning %-7s K %.4f  f0 %.0f Hz  worst |deviation| %.2e %% at %.0f Hz\n",
                    design.m_Name, coupling[design.m_Name], held->m_WorkingFrequency, worst * 100,
                    worstAt);
    }
    // The three cover a clearly loose, the default and a clearly tight coupling.
    EXPECT_LT(coupling["loose"] * 2.0, coupling["default"]);
    EXPECT_GT(coupling["tight"], coupling["default"] * 2.0);
}
} // namespace
