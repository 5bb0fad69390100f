#pragma once
// A template that sets every stored field of the header, pages, each view class, the dictionary
// and the information block away from its default: the fixture of the round-trip tests.
#include "report/model/TemplateHolder.h"
#include "report/model/TfrBandView.h"
#include "report/model/TfrLineView.h"
#include "report/model/TfrMemoView.h"
#include "report/model/TfrPictureView.h"
#include "report/model/TfrSubReportView.h"

namespace vaskel::test {

inline void fillSampleTemplate(TemplateHolder& h)
{
    h.UseDefaultPrinter = true;
    h.TwoPass = true;
    h.PrinterName = QStringLiteral("Office laser");
    TfrPage* p1 = h.Pages.Add();
    p1->Name = QStringLiteral("Page1");
    p1->PaperCode = 256;
    p1->PaperSizeX = 1500;
    p1->PaperSizeY = 2000;
    p1->Margins[0] = 10, p1->Margins[1] = 20, p1->Margins[2] = 30, p1->Margins[3] = 40;
    p1->PaperOrientation = 1;
    p1->PaperSource = 7;
    p1->PrintToPrevPage = true;
    p1->MarginsFlag = false;
    p1->Columns = 2;
    p1->ColumnGap = 15;
    p1->PageScript = {QStringLiteral("begin"), QStringLiteral("end")};
    TfrPage* p2 = h.Pages.Add();
    p2->Name = QStringLiteral("Dialog");
    p2->PageKind = ptDialog;
    p2->BorderStyle = 2;
    p2->Caption = QStringLiteral("Ask");
    p2->Color = 0x00112233;
    p2->DialogLeft = 1, p2->DialogTop = 2, p2->DialogWidth = 3, p2->DialogHeight = 4;
    p2->Position = 0;

    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = QStringLiteral("Memo1");
    memo->Left = 10, memo->Top = 20, memo->Width = 300, memo->Height = 40;
    memo->Flags = 0x01FF;
    memo->FrameTyp = 15;
    memo->FrameWidth = 0.25f;
    memo->FrameColor = 0x000000FF;
    memo->FrameStyle = psDashDot;
    memo->FillColor = 0x00EEEEEE;
    memo->FormatCode = 0x01020304;
    memo->FormatText = QStringLiteral("#,##0.00");
    memo->Memo = {QStringLiteral("[Price]"), QString(), QStringLiteral("进货：")};
    memo->BeforePrintScript = {QStringLiteral("if [X] > 1 then"), QStringLiteral("  Visible := False")};
    memo->Visible = false;
    memo->Restrictions = 0x5A;
    memo->Tag = QStringLiteral("[Tag]");
    memo->GapX = 5, memo->GapY = 6;
    memo->BandAlign = baRest;
    memo->Font = ReportFont{QStringLiteral("宋体"), 12, 3, 0x00123456, 134};
    memo->Alignment = frtaCenter | frtaMiddle;
    memo->HighlightFontStyle = 1;
    memo->HighlightFontColor = 0x0000FF00;
    memo->HighlightFillColor = 0x00FF0000;
    memo->HighlightCondition = QStringLiteral("Value > 0");
    memo->LineSpacing = 4, memo->CharSpacing = 1;
    p1->Add(std::move(memo));

    auto band = std::make_unique<TfrBandView>();
    band->Name = QStringLiteral("Band1");
    band->FrameTyp = GroupHeader;
    band->FormatText = QStringLiteral("[Q1.\"NO\"]");
    band->ChildBand = QStringLiteral("Child1");
    band->Master = QStringLiteral("MasterData1");
    band->Columns = 3, band->ColumnWidth = 120, band->ColumnGap = 7, band->NewColumnAfter = 2;
    p1->Add(std::move(band));

    auto picture = std::make_unique<TfrPictureView>();
    picture->Name = QStringLiteral("Picture1");
    picture->FrameWidth = 3;
    picture->BlobType = btJPG;
    picture->Picture.setData(StoredPicture::Jpeg, QByteArray("\xFF\xD8 not really a jpeg \xFF\xD9", 23));
    p1->Add(std::move(picture));

    auto line = std::make_unique<TfrLineView>();
    line->Name = QStringLiteral("Line1");
    line->FrameStyle = psDouble;
    p2->Add(std::move(line));

    auto sub = std::make_unique<TfrSubReportView>();
    sub->Name = QStringLiteral("SubReport1");
    sub->PageIndex = 1;
    p2->Add(std::move(sub));

    h.Dictionary.Variables.SetValue(QStringLiteral(" Totals"), Value(QString()));
    h.Dictionary.Variables.SetValue(QStringLiteral("Sum"), Value(QStringLiteral("[A] + [B]")));
    h.Dictionary.AliasList.SetValue(QStringLiteral("Q1.\"AMT\""), Value(QStringLiteral("Amount")));
    h.Dictionary.BandSourceList.SetValue(
        QStringLiteral("MasterData1"), Value(QStringLiteral("frDBDataSet1")));

    h.Info.Comment = QStringLiteral("comment"), h.Info.Name = QStringLiteral("name");
    h.Info.Author = QStringLiteral("author"), h.Info.VersionMajor = QStringLiteral("1");
    h.Info.VersionMinor = QStringLiteral("2"), h.Info.VersionRelease = QStringLiteral("3");
    h.Info.VersionBuild = QStringLiteral("4"), h.Info.Password = QStringLiteral("Secret");
    h.Info.PasswordProtected = true;
    h.Info.Created = 45000.5;
}

} // namespace vaskel::test
