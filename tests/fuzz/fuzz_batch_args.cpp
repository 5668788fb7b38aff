// SPDX-License-Identifier: GPL-3.0-or-later
// The batch mode's command line: any arguments give a plan or an exit status, never a fault.
// Bad usage (2) says why and shows the usage line; a plan names a known form and holds each
// option as a step that the form can take as it is.

#include "FuzzSupport.h"

#include "app/BatchRun.h"
#include "app/DesignFile.h"
#include "calculators/FormFactory.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    EnsureApplication();
    CFuzzInput input(data, size);
    // The arguments are separated by NUL bytes, as the system hands them over.
    QStringList args{QStringLiteral("quillon")};
    while (!input.Empty() && args.size() < 64)
        args << QString::fromLocal8Bit(input.Until(0));
    const std::string line = args.join(QLatin1Char(' ')).toStdString();

    WantsBatch(args);
    CBatchPlan plan;
    QString out;
    QString err;
    const int status = ParseBatchArgs(args, plan, out, err);
    FUZZ_CHECK(status == BatchPlanReady || status == 0 || status == 2,
               "status " + std::to_string(status) + " for " + line);
    if (status == 2)
    {
        FUZZ_CHECK(err.startsWith(QLatin1String("quillon: ")) &&
                       err.contains(QLatin1String("\nUsage: quillon --batch KEY ")) &&
                       out.isEmpty(),
                   "bad usage says why and how: " + err.toStdString());
        return 0;
    }
    FUZZ_CHECK(err.isEmpty(), "a good command line prints no error: " + err.toStdString());
    if (status == 0)
    {
        FUZZ_CHECK(!out.isEmpty() && plan.m_Steps.empty(), "--help or --version: " + line);
        return 0;
    }
    FUZZ_CHECK(FindFormEntry(plan.m_Key) != nullptr, "a plan names a known form: " + line);
    for (const CBatchStep& step : plan.m_Steps)
    {
        if (step.m_Kind != EBatchStep::Set)
            continue;
        const CControlRecord record = ParseControlRecord(step.m_Text.toStdString());
        FUZZ_CHECK(record.m_Valid, "--set gives a record line: " + step.m_Text.toStdString());
    }
    return 0;
}
