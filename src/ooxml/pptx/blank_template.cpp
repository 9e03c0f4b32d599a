#include "ooxml/pptx/blank_template.h"

#include "ooxml/pptx/detail/document_impl.h"

namespace morvane::ooxml::pptx {

namespace {

const char kCtPresentation[] =
    "application/vnd.openxmlformats-officedocument.presentationml.presentation.main+xml";
const char kCtMaster[] =
    "application/vnd.openxmlformats-officedocument.presentationml.slideMaster+xml";
const char kCtTheme[] = "application/vnd.openxmlformats-officedocument.theme+xml";
const char kCtPresProps[] =
    "application/vnd.openxmlformats-officedocument.presentationml.presProps+xml";
const char kCtViewProps[] =
    "application/vnd.openxmlformats-officedocument.presentationml.viewProps+xml";
const char kCtTableStyles[] =
    "application/vnd.openxmlformats-officedocument.presentationml.tableStyles+xml";
const char kCtApp[] = "application/vnd.openxmlformats-officedocument.extended-properties+xml";

const char kGroupProps[] =
    "<p:nvGrpSpPr><p:cNvPr id=\"1\" name=\"\"/><p:cNvGrpSpPr/><p:nvPr/></p:nvGrpSpPr><p:grpSpPr>"
    "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/><a:chOff x=\"0\" y=\"0\"/>"
    "<a:chExt cx=\"0\" cy=\"0\"/></a:xfrm></p:grpSpPr>";

QString level(int n, int marL, int indent, int size, bool bullet) {
  return QStringLiteral(
             "<a:lvl%1pPr marL=\"%2\" indent=\"%3\" algn=\"l\" rtl=\"0\">%4<a:defRPr "
             "sz=\"%5\" kern=\"1200\"><a:solidFill><a:schemeClr val=\"tx1\"/></a:solidFill>"
             "<a:latin typeface=\"+mn-lt\"/><a:ea typeface=\"+mn-ea\"/><a:cs "
             "typeface=\"+mn-cs\"/></a:defRPr></a:lvl%1pPr>")
      .arg(n)
      .arg(marL)
      .arg(indent)
      .arg(bullet ? QStringLiteral("<a:spcBef><a:spcPct val=\"20000\"/></a:spcBef><a:buFont "
                                   "typeface=\"Arial\"/><a:buChar char=\"&#8226;\"/>")
                  : QString())
      .arg(size);
}

QString presentationXml(const QString& masterRid) {
  return QStringLiteral(
             "<p:presentation saveSubsetFonts=\"1\"><p:sldMasterIdLst><p:sldMasterId "
             "id=\"2147483648\" r:id=\"%1\"/></p:sldMasterIdLst><p:sldSz cx=\"9144000\" "
             "cy=\"6858000\" type=\"screen4x3\"/><p:notesSz cx=\"6858000\" cy=\"9144000\"/>"
             "<p:defaultTextStyle><a:defPPr><a:defRPr lang=\"en-US\"/></a:defPPr>%2"
             "</p:defaultTextStyle></p:presentation>")
      .arg(masterRid, level(1, 0, 0, 1800, false));
}

QString masterXml(const QString& titleOnlyRid, const QString& blankRid) {
  QString body;
  for (int i = 1; i <= 5; ++i)
    body += level(i, 342900 + (i - 1) * 400050, -342900,
                  i == 1   ? 3200
                  : i == 2 ? 2800
                  : i == 3 ? 2400
                           : 2000,
                  true);
  return QStringLiteral(
             "<p:sldMaster><p:cSld><p:bg><p:bgRef idx=\"1001\"><a:schemeClr val=\"bg1\"/></p:bgRef>"
             "</p:bg><p:spTree>%1"
             "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"Title Placeholder "
             "1\"/><p:cNvSpPr><a:spLocks "
             "noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph type=\"title\"/></p:nvPr></p:nvSpPr><p:spPr>"
             "<a:xfrm><a:off x=\"457200\" y=\"274638\"/><a:ext cx=\"8229600\" "
             "cy=\"1143000\"/></a:xfrm>"
             "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></p:spPr><p:txBody><a:bodyPr "
             "vert=\"horz\" lIns=\"91440\" tIns=\"45720\" rIns=\"91440\" bIns=\"45720\" "
             "rtlCol=\"0\" "
             "anchor=\"ctr\"><a:normAutofit/></a:bodyPr><a:lstStyle/><a:p><a:r><a:rPr "
             "lang=\"en-US\"/><a:t>Click to edit Master title "
             "style</a:t></a:r></a:p></p:txBody></p:sp>"
             "<p:sp><p:nvSpPr><p:cNvPr id=\"3\" name=\"Text Placeholder 2\"/><p:cNvSpPr><a:spLocks "
             "noGrp=\"1\"/></p:cNvSpPr><p:nvPr><p:ph type=\"body\" idx=\"1\"/></p:nvPr></p:nvSpPr>"
             "<p:spPr><a:xfrm><a:off x=\"457200\" y=\"1600200\"/><a:ext cx=\"8229600\" "
             "cy=\"4525963\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></p:spPr>"
             "<p:txBody><a:bodyPr vert=\"horz\" lIns=\"91440\" tIns=\"45720\" rIns=\"91440\" "
             "bIns=\"45720\" rtlCol=\"0\"><a:normAutofit/></a:bodyPr><a:lstStyle/><a:p><a:pPr "
             "lvl=\"0\"/><a:r><a:rPr lang=\"en-US\"/><a:t>Click to edit Master text styles</a:t>"
             "</a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld><p:clrMap bg1=\"lt1\" tx1=\"dk1\" "
             "bg2=\"lt2\" tx2=\"dk2\" accent1=\"accent1\" accent2=\"accent2\" accent3=\"accent3\" "
             "accent4=\"accent4\" accent5=\"accent5\" accent6=\"accent6\" hlink=\"hlink\" "
             "folHlink=\"folHlink\"/><p:sldLayoutIdLst><p:sldLayoutId id=\"2147483649\" "
             "r:id=\"%2\"/><p:sldLayoutId id=\"2147483650\" r:id=\"%3\"/></p:sldLayoutIdLst>"
             "<p:txStyles><p:titleStyle><a:lvl1pPr algn=\"ctr\" rtl=\"0\"><a:spcBef><a:spcPct "
             "val=\"0\"/></a:spcBef><a:buNone/><a:defRPr sz=\"4400\" kern=\"1200\"><a:solidFill>"
             "<a:schemeClr val=\"tx1\"/></a:solidFill><a:latin typeface=\"+mj-lt\"/><a:ea "
             "typeface=\"+mj-ea\"/><a:cs "
             "typeface=\"+mj-cs\"/></a:defRPr></a:lvl1pPr></p:titleStyle>"
             "<p:bodyStyle>%4</p:bodyStyle><p:otherStyle><a:defPPr><a:defRPr lang=\"en-US\"/>"
             "</a:defPPr>%5</p:otherStyle></p:txStyles></p:sldMaster>")
      .arg(QString::fromLatin1(kGroupProps), titleOnlyRid, blankRid, body,
           level(1, 0, 0, 1800, false));
}

QString layoutXml(bool titleOnly) {
  const QString title = QStringLiteral(
      "<p:sp><p:nvSpPr><p:cNvPr id=\"2\" name=\"Title 1\"/><p:cNvSpPr><a:spLocks noGrp=\"1\"/>"
      "</p:cNvSpPr><p:nvPr><p:ph type=\"title\"/></p:nvPr></p:nvSpPr><p:spPr/><p:txBody>"
      "<a:bodyPr/><a:lstStyle/><a:p><a:r><a:rPr lang=\"en-US\"/><a:t>Click to edit Master title "
      "style</a:t></a:r><a:endParaRPr lang=\"en-US\"/></a:p></p:txBody></p:sp>");
  return QStringLiteral(
             "<p:sldLayout type=\"%1\" preserve=\"1\"><p:cSld name=\"%2\"><p:spTree>%3%4</p:spTree>"
             "</p:cSld><p:clrMapOvr><a:masterClrMapping/></p:clrMapOvr></p:sldLayout>")
      .arg(titleOnly ? QStringLiteral("titleOnly") : QStringLiteral("blank"),
           titleOnly ? QStringLiteral("Title Only") : QStringLiteral("Blank"),
           QString::fromLatin1(kGroupProps), titleOnly ? title : QString());
}

QString solidStyle(const char* wrapperOpen, const char* wrapperClose) {
  return QStringLiteral("%1<a:solidFill><a:schemeClr val=\"phClr\"/></a:solidFill>%2")
      .arg(QString::fromLatin1(wrapperOpen), QString::fromLatin1(wrapperClose));
}

QString themeXml() {
  static const char* const colors[][2] = {
      {"dk2", "1F497D"},     {"lt2", "EEECE1"},     {"accent1", "4F81BD"}, {"accent2", "C0504D"},
      {"accent3", "9BBB59"}, {"accent4", "8064A2"}, {"accent5", "4BACC6"}, {"accent6", "F79646"},
      {"hlink", "0000FF"},   {"folHlink", "800080"}};
  QString scheme = QStringLiteral(
      "<a:dk1><a:sysClr val=\"windowText\" lastClr=\"000000\"/></a:dk1><a:lt1><a:sysClr "
      "val=\"window\" lastClr=\"FFFFFF\"/></a:lt1>");
  for (const auto& c : colors)
    scheme += QStringLiteral("<a:%1><a:srgbClr val=\"%2\"/></a:%1>")
                  .arg(QLatin1String(c[0]), QLatin1String(c[1]));
  QString fills, lines, effects;
  for (int i = 0; i < 3; ++i) {
    fills += solidStyle("", "");
    lines += QStringLiteral(
                 "<a:ln w=\"%1\" cap=\"flat\" cmpd=\"sng\" algn=\"ctr\">%2<a:prstDash "
                 "val=\"solid\"/></a:ln>")
                 .arg(9525 * (i + 1))
                 .arg(solidStyle("", ""));
    effects += QStringLiteral("<a:effectStyle><a:effectLst/></a:effectStyle>");
  }
  const QString font =
      QStringLiteral("<a:latin typeface=\"Calibri\"/><a:ea typeface=\"\"/><a:cs typeface=\"\"/>");
  return QStringLiteral(
             "<a:theme name=\"Office Theme\"><a:themeElements><a:clrScheme name=\"Office\">%1"
             "</a:clrScheme><a:fontScheme "
             "name=\"Office\"><a:majorFont>%2</a:majorFont><a:minorFont>"
             "%2</a:minorFont></a:fontScheme><a:fmtScheme name=\"Office\"><a:fillStyleLst>%3"
             "</a:fillStyleLst><a:lnStyleLst>%4</a:lnStyleLst><a:effectStyleLst>%5"
             "</a:effectStyleLst><a:bgFillStyleLst>%3</a:bgFillStyleLst></a:fmtScheme>"
             "</a:themeElements><a:objectDefaults/><a:extraClrSchemeLst/></a:theme>")
      .arg(scheme, font, fills, lines, effects);
}

QByteArray appXml() {
  return QByteArrayLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Properties "
      "xmlns=\"http://schemas.openxmlformats.org/officeDocument/2006/extended-properties\">"
      "<Application>Morvane</Application><Slides>0</Slides></Properties>");
}

}  // namespace

std::unique_ptr<ooxml::Package> createBlankPackage() {
  auto package = ooxml::Package::create();
  const QString pres = QStringLiteral("/ppt/presentation.xml");
  const QString master = QStringLiteral("/ppt/slideMasters/slideMaster1.xml");
  const QString titleOnly = QStringLiteral("/ppt/slideLayouts/slideLayout1.xml");
  const QString blank = QStringLiteral("/ppt/slideLayouts/slideLayout2.xml");
  const QString theme = QStringLiteral("/ppt/theme/theme1.xml");

  package->addRelationship(QStringLiteral("/"),
                           QString::fromLatin1(ooxml::reltype::kOfficeDocument), pres);
  package->addRelationship(QStringLiteral("/"), relType("extended-properties"),
                           QStringLiteral("/docProps/app.xml"));
  package->write(QStringLiteral("/docProps/app.xml"), appXml(), QString::fromLatin1(kCtApp));

  const QString masterRid = package->addRelationship(pres, relType(rel::kSlideMaster), master);
  package->addRelationship(pres, relType(rel::kTheme), theme);
  package->addRelationship(pres, relType("presProps"), QStringLiteral("/ppt/presProps.xml"));
  package->addRelationship(pres, relType("viewProps"), QStringLiteral("/ppt/viewProps.xml"));
  package->addRelationship(pres, relType("tableStyles"), QStringLiteral("/ppt/tableStyles.xml"));
  package->write(pres, partXml(presentationXml(masterRid), false),
                 QString::fromLatin1(kCtPresentation));

  const QString titleOnlyRid =
      package->addRelationship(master, relType(rel::kSlideLayout), titleOnly);
  const QString blankRid = package->addRelationship(master, relType(rel::kSlideLayout), blank);
  package->addRelationship(master, relType(rel::kTheme), theme);
  package->write(master, partXml(masterXml(titleOnlyRid, blankRid), false),
                 QString::fromLatin1(kCtMaster));

  for (const QString& layout : {titleOnly, blank}) {
    package->addRelationship(layout, relType(rel::kSlideMaster), master);
    package->write(layout, partXml(layoutXml(layout == titleOnly), false),
                   QString::fromLatin1(ctype::kSlideLayout));
  }
  package->write(theme, partXml(themeXml(), false), QString::fromLatin1(kCtTheme));
  package->write(QStringLiteral("/ppt/presProps.xml"),
                 partXml(QStringLiteral("<p:presentationPr/>"), false),
                 QString::fromLatin1(kCtPresProps));
  package->write(
      QStringLiteral("/ppt/viewProps.xml"),
      partXml(QStringLiteral("<p:viewPr><p:gridSpacing cx=\"76200\" cy=\"76200\"/></p:viewPr>"),
              false),
      QString::fromLatin1(kCtViewProps));
  package->write(
      QStringLiteral("/ppt/tableStyles.xml"),
      partXml(QStringLiteral("<a:tblStyleLst def=\"{5C22544A-7EE6-4342-B048-85BDC9FD1C3A}\"/>"),
              false),
      QString::fromLatin1(kCtTableStyles));
  return package;
}

}  // namespace morvane::ooxml::pptx
