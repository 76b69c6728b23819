// The editor window's File > Print and File > Print Setup...: the text printed as the
// window shows it, in the window's font, on the program's one printer, or into a PDF
// file where no printer is installed (Print Setup then sets up the PDF's page).

#include <QPrinter>

#include "dialogs/ErrorReport.h"
#include "dialogs/UserDialogs.h"
#include "editor/EditForm.h"
#include "editor/RunningCommand.h"
#include "frame/FrameForm.h"
#include "printing/PrintJob.h"
#include "printing/PrintedLines.h"

// A printer error stops the command; it is shown by the standard error report.
bool TEditForm::ReportPrinterProblem() {
  const QString problem = PrinterProblem(frame_.Printer());
  if (problem.isEmpty()) return false;
  ShowErrorReport(this, problem);
  return true;
}

// Without a printer the print dialog offers a PDF file beside the document instead.
void TEditForm::Print1Click() {
  QPrinter& printer = frame_.Printer();
  const PdfForOnePrint pdf(printer, PdfFileName(FileName(), windowTitle()));
  if (ReportPrinterProblem()) return;
  if (!Dialogs().print(this, printer)) return;
  if (ReportPrinterProblem()) return;  // the printer chosen in the dialog
  // The window waits until the job is closed: the job reads nothing of it, but the
  // pending input processed between pages must not close it under the job.
  RunningCommand running(*this);
  const QString error = PrintLines(printer, PrintFont(memo1_->TextFont(), memo1_->logicalDpiY()), PrintedLines(*memo1_));
  if (!error.isEmpty()) ShowErrorReport(this, error);
}

// Without a printer it sets up the page of the PDF that Print offers.
void TEditForm::PrintSetup1Click() {
  const QString problem = PageSetupProblem(frame_.Printer());
  if (!problem.isEmpty()) {
    ShowErrorReport(this, problem);
    return;
  }
  Dialogs().printSetup(this, frame_.Printer());
}
