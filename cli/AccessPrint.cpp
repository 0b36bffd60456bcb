#include "cli/AccessPrint.h"
#include "sitebuild/AccessReport.h"

void PrintAccessReport(const std::vector<CAccessFinding>& findings, std::ostream& out) {
    out << DescribeReportHeading(findings.size()) << '\n';
    for (const CAccessFinding& finding : findings)
        out << "  " << DescribeFinding(finding) << '\n';
}
