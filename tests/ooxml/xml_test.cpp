// parseXml: namespace normalisation onto canonical prefixes, and serializeXml back; large
// parts parsed in pieces.
#include "ooxml/detail/xml.h"

#include <gtest/gtest.h>

#include <functional>

#include "ooxml/detail/xml_pieces.h"

using namespace morvane;

using ooxml::parseXml;
using ooxml::serializeXml;

namespace {

std::unique_ptr<ooxml::XmlDocument> parse(const QByteArray& xml) {
  auto parsed = parseXml(xml, "/xl/test.xml");
  EXPECT_TRUE(parsed.ok()) << (parsed.ok() ? "" : parsed.error().message.toStdString());
  return parsed.ok() ? std::move(*parsed) : nullptr;
}

std::string rootAttr(const ooxml::XmlDocument& doc, const char* name) {
  return doc.doc.document_element().attribute(name).value();
}

}  // namespace

TEST(XmlNamespaces, DefaultAndOddPrefixesBecomeCanonical) {
  auto doc =
      parse(R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
            R"(xmlns:rel="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)"
            R"(<sheets><sheet name="A" rel:id="rId1"/></sheets></workbook>)");
  ASSERT_TRUE(doc);
  EXPECT_FALSE(doc->strict);
  const pugi::xml_node sheet = doc->doc.child("x:workbook").child("x:sheets").child("x:sheet");
  ASSERT_TRUE(sheet);
  EXPECT_STREQ(sheet.attribute("r:id").value(), "rId1");
  EXPECT_STREQ(sheet.attribute("name").value(), "A");  // unprefixed attributes stay
  EXPECT_EQ(rootAttr(*doc, "xmlns:x"), "http://schemas.openxmlformats.org/spreadsheetml/2006/main");
  EXPECT_EQ(rootAttr(*doc, "xmlns:r"),
            "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
  EXPECT_TRUE(doc->doc.document_element().attribute("xmlns").empty());
  EXPECT_TRUE(doc->doc.document_element().attribute("xmlns:rel").empty());
}

TEST(XmlNamespaces, StrictUrisGiveTheSamePrefixesAndSetStrict) {
  auto doc = parse(
      R"(<s:chartSpace xmlns:s="http://purl.oclc.org/ooxml/drawingml/chart" )"
      R"(xmlns:d="http://purl.oclc.org/ooxml/drawingml/main"><s:chart><d:spPr/></s:chart></s:chartSpace>)");
  ASSERT_TRUE(doc);
  EXPECT_TRUE(doc->strict);
  EXPECT_TRUE(doc->doc.child("c:chartSpace").child("c:chart").child("a:spPr"));
  // Serialised back with its own prefixes in its own conformance class, or in the other
  // when asked.
  const QByteArray strict = serializeXml(*doc);
  EXPECT_TRUE(strict.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
  EXPECT_TRUE(strict.contains("xmlns:s=\"http://purl.oclc.org/ooxml/drawingml/chart\""));
  doc->strict = false;
  const QByteArray transitional = serializeXml(*doc);
  EXPECT_TRUE(
      transitional.contains("xmlns:s=\"http://schemas.openxmlformats.org/drawingml/2006/chart\""));
  EXPECT_TRUE(transitional.contains("<s:chartSpace"));
  EXPECT_FALSE(transitional.contains("purl.oclc.org"));
  // What is written parses back to the same names.
  auto again = parse(transitional);
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->doc.child("c:chartSpace").child("c:chart").child("a:spPr"));
}

TEST(XmlNamespaces, NestedRedeclarationsFollowScope) {
  // The same prefix names different namespaces in different subtrees.
  auto doc =
      parse(R"(<n:sld xmlns:n="http://schemas.openxmlformats.org/presentationml/2006/main">)"
            R"(<n:cSld><n:spTree xmlns:n="http://schemas.openxmlformats.org/drawingml/2006/main">)"
            R"(<n:off/></n:spTree><n:bg/></n:cSld></n:sld>)");
  ASSERT_TRUE(doc);
  const pugi::xml_node cSld = doc->doc.child("p:sld").child("p:cSld");
  EXPECT_TRUE(cSld.child("a:spTree").child("a:off"));
  EXPECT_TRUE(cSld.child("p:bg"));
}

TEST(XmlNamespaces, UnknownNamespacesKeepPrefixesAndIgnorableStaysValid) {
  const QByteArray xml =
      R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
      R"(xmlns:m="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
      R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac" )"
      R"(m:Ignorable="x14ac"><sheetFormatPr x14ac:dyDescent="0.25"/>)"
      R"(<m:AlternateContent><m:Choice Requires="x14ac"><x14ac:thing/></m:Choice></m:AlternateContent>)"
      R"(</worksheet>)";
  auto doc = parse(xml);
  ASSERT_TRUE(doc);
  const pugi::xml_node root = doc->doc.child("x:worksheet");
  EXPECT_STREQ(root.attribute("mc:Ignorable").value(), "x14ac");
  EXPECT_EQ(rootAttr(*doc, "xmlns:x14ac"),
            "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac");
  EXPECT_STREQ(root.child("x:sheetFormatPr").attribute("x14ac:dyDescent").value(), "0.25");
  const pugi::xml_node choice = root.child("mc:AlternateContent").child("mc:Choice");
  EXPECT_STREQ(choice.attribute("Requires").value(), "x14ac");
  EXPECT_TRUE(choice.child("x14ac:thing"));
}

TEST(XmlNamespaces, UnknownNamespaceOnACanonicalPrefixIsRenamedEverywhere) {
  // "c" here is not the chart namespace; left alone it would read as chart markup.
  auto doc =
      parse(R"(<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
            R"(xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
            R"(xmlns:c="urn:example:custom" mc:Ignorable="c"><c:extra c:v="1"/></x:worksheet>)");
  ASSERT_TRUE(doc);
  const pugi::xml_node root = doc->doc.child("x:worksheet");
  EXPECT_FALSE(root.child("c:extra"));
  const pugi::xml_node extra = root.first_child();
  const std::string prefix =
      std::string(extra.name()).substr(0, std::string(extra.name()).find(':'));
  EXPECT_NE(prefix, "c");
  EXPECT_EQ(rootAttr(*doc, ("xmlns:" + prefix).c_str()), "urn:example:custom");
  EXPECT_EQ(std::string(root.attribute("mc:Ignorable").value()), prefix);
  EXPECT_EQ(std::string(extra.attribute((prefix + ":v").c_str()).value()), "1");
}

TEST(XmlNamespaces, UndeclaredPrefixIsMalformed) {
  auto parsed = parseXml("<x:worksheet><y:a/></x:worksheet>", "/xl/bad.xml");
  ASSERT_FALSE(parsed.ok());
  EXPECT_EQ(parsed.error().code, ooxml::Error::Code::BadXml);
  EXPECT_TRUE(parsed.error().message.contains("/xl/bad.xml"));
}

TEST(XmlNamespaces, WhitespaceOnlyTextAndEscapesSurviveARoundTrip) {
  auto doc = parse(
      R"(<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
      R"(<si><t xml:space="preserve">  </t></si><si><t>a &amp; b &lt; &#x4E2D;</t></si></sst>)");
  ASSERT_TRUE(doc);
  const QByteArray out = serializeXml(*doc);
  EXPECT_TRUE(out.contains(R"(<t xml:space="preserve">  </t>)")) << out.toStdString();
  EXPECT_TRUE(out.contains("a &amp; b &lt; \xE4\xB8\xAD")) << out.toStdString();
}

TEST(XmlNamespaces, DocumentsBuiltInCodeGetTheirPrefixesDeclared) {
  ooxml::XmlDocument doc;
  doc.doc.append_child("p:sld").append_child("p:cSld").append_child("a:bg");
  const QByteArray out = serializeXml(doc);
  EXPECT_TRUE(
      out.contains("xmlns:p=\"http://schemas.openxmlformats.org/presentationml/2006/main\""));
  EXPECT_TRUE(out.contains("xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\""));
  EXPECT_FALSE(out.contains("xmlns:x="));
  EXPECT_EQ(ooxml::namespaceUri("p", true), "http://purl.oclc.org/ooxml/presentationml/main");
  EXPECT_EQ(ooxml::namespaceUri("zz", false), "");
}

// Written back, a part keeps its own prefixes and declarations where they stood; what code
// adds takes the prefix its namespace has there, or a canonical one declared for it.
struct OwnPrefixCase {
  const char* name;
  const char* in;
  std::function<void(pugi::xml_document&)> edit;
  const char* out;  // "" when the part must come back as it came
  bool strict = false;
};

class XmlOwnPrefixes : public ::testing::TestWithParam<OwnPrefixCase> {};

TEST_P(XmlOwnPrefixes, WrittenAsTheProducerWroteThemAndStable) {
  const OwnPrefixCase& c = GetParam();
  auto doc = parse(c.in);
  ASSERT_TRUE(doc);
  if (c.edit) c.edit(doc->doc);
  doc->strict = c.strict;
  const QByteArray header = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
  const QByteArray out = serializeXml(*doc);
  EXPECT_EQ(out.toStdString(), (header + (*c.out ? c.out : c.in)).toStdString());
  auto again = parse(out);  // what is written reads back to the same canonical document
  ASSERT_TRUE(again);
  EXPECT_EQ(serializeXml(*again).toStdString(), out.toStdString());
}

void appendDefinedName(pugi::xml_document& doc) {
  doc.child("x:workbook").child("x:definedNames").append_child("x:definedName").text().set("B");
}

INSTANTIATE_TEST_SUITE_P(
    Parts, XmlOwnPrefixes,
    ::testing::Values(
        OwnPrefixCase{
            "LocalDeclarationsStayInPlace",
            R"(<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing">)"
            R"(<xdr:graphicFrame><c:chart xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" )"
            R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="rId1"/>)"
            R"(</xdr:graphicFrame><xdr:clientData/></xdr:wsDr>)",
            nullptr, ""},
        OwnPrefixCase{
            "UnknownNamespaceOnACanonicalPrefixAndOddCompatibilityPrefix",
            R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
            R"(xmlns:m="http://schemas.openxmlformats.org/markup-compatibility/2006" )"
            R"(xmlns:c="urn:example:custom" m:Ignorable="c"><c:extra c:v="1"/>)"
            R"(<m:AlternateContent><m:Choice Requires="c"><c:x/></m:Choice></m:AlternateContent></worksheet>)",
            nullptr, ""},
        OwnPrefixCase{
            "AddedElementTakesTheDefaultNamespace",
            R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<definedNames><definedName name="A">1</definedName></definedNames></workbook>)",
            appendDefinedName,
            R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<definedNames><definedName name="A">1</definedName><definedName>B</definedName>)"
            R"(</definedNames></workbook>)"},
        OwnPrefixCase{
            "AddedElementTakesThePartsPrefix",
            R"(<s:workbook xmlns:s="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<s:definedNames/></s:workbook>)",
            appendDefinedName,
            R"(<s:workbook xmlns:s="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<s:definedNames><s:definedName>B</s:definedName></s:definedNames></s:workbook>)"},
        OwnPrefixCase{
            "NamespaceThePartNeverDeclaredIsDeclaredOnTheRoot",
            R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" a="1">)"
            R"(<sheets><sheet name="A"/></sheets></workbook>)",
            [](pugi::xml_document& doc) {
              doc.child("x:workbook")
                  .child("x:sheets")
                  .child("x:sheet")
                  .append_attribute("r:id")
                  .set_value("rId9");
            },
            R"(<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
            R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" a="1">)"
            R"(<sheets><sheet name="A" r:id="rId9"/></sheets></workbook>)"},
        OwnPrefixCase{
            "ACanonicalPrefixTakenThereIsDeclaredOnTheElement",
            R"(<s:workbook xmlns:s="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<s:extLst xmlns:r="urn:example:other"/></s:workbook>)",
            [](pugi::xml_document& doc) {
              doc.child("x:workbook")
                  .first_child()
                  .append_child("x:ext")
                  .append_attribute("r:id")
                  .set_value("rId2");
            },
            R"(<s:workbook xmlns:s="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
            R"(<s:extLst xmlns:r="urn:example:other"><s:ext xmlns:r="http://schemas.openxmlformats.org/)"
            R"(officeDocument/2006/relationships" r:id="rId2"/></s:extLst></s:workbook>)"},
        OwnPrefixCase{
            "ATransitionalTemplateWrittenStrictKeepsItsPrefixes",
            R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
            R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheetData/></worksheet>)",
            nullptr,
            R"(<worksheet xmlns="http://purl.oclc.org/ooxml/spreadsheetml/main" )"
            R"(xmlns:r="http://purl.oclc.org/ooxml/officeDocument/relationships"><sheetData/></worksheet>)",
            true}),
    [](const auto& info) { return std::string(info.param.name); });

// Cut into pieces of a few bytes, a part still gives every row once, in order, with the
// prefixes of the whole; a fault in a later piece is reported at its line in the part.
TEST(XmlPieces, PiecesHoldEveryRowOnceAndErrorsNameTheirLine) {
  QByteArray xml = R"(<?xml version="1.0"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><!-- a <row> -->
<sheetData>)";
  for (int r = 1; r <= 40; ++r)
    xml += QByteArray("<row r=\"%1\"><c><v>a&gt;b</v></c></row>\n")
               .replace("%1", QByteArray::number(r));
  xml += "</sheetData><drawing/></worksheet>";
  auto pieces = ooxml::detail::XmlPieces::split(xml, "/xl/s.xml", 64, 2, 100);
  ASSERT_TRUE(pieces.ok());
  EXPECT_GT(pieces->count(), 3u);
  QByteArray rows;
  int drawings = 0;
  for (size_t i = 0; i < pieces->count(); ++i) {
    auto doc = pieces->parse(i);
    ASSERT_TRUE(doc.ok()) << doc.error().message.toStdString();
    const pugi::xml_node root = (*doc)->doc.child("x:worksheet");
    for (pugi::xml_node row : root.child("x:sheetData").children("x:row")) {
      rows += row.attribute("r").value();
      EXPECT_STREQ(row.child("x:c").child_value("x:v"), "a>b");
    }
    drawings +=
        int(std::distance(root.children("x:drawing").begin(), root.children("x:drawing").end()));
  }
  QByteArray expected;
  for (int r = 1; r <= 40; ++r) expected += QByteArray::number(r);
  EXPECT_EQ(rows, expected);
  EXPECT_EQ(drawings, 1);

  xml.replace("<row r=\"30\"><c>", "<row r=\"30\"><c><bad>");
  pieces = ooxml::detail::XmlPieces::split(xml, "/xl/s.xml", 64, 2, 100);
  ASSERT_TRUE(pieces.ok());
  QString error;
  for (size_t i = 0; i < pieces->count() && error.isEmpty(); ++i) {
    if (auto doc = pieces->parse(i); !doc.ok()) error = doc.error().message;
  }
  EXPECT_TRUE(error.contains("line 32")) << error.toStdString();
  EXPECT_FALSE(ooxml::detail::XmlPieces::split("<a><!DOCTYPE x></a>", "/xl/s.xml", 64, 2).ok());
  EXPECT_FALSE(ooxml::detail::XmlPieces::split("<a><b x=\"1></a>", "/xl/s.xml", 64, 2).ok());
}
