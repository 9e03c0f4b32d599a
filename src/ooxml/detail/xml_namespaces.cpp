#include "ooxml/detail/xml_namespaces.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>

namespace morvane::ooxml::detail {

namespace {

struct Binding {
  std::string prefix;                     // "" for the default namespace
  const KnownNamespace* known = nullptr;  // nullptr for namespaces ooxml does not know
  std::string output;                     // prefix the document uses after the pass
  std::string uri;
};

// Walks the tree once with a stack of namespace bindings in scope.
class Canonicalizer {
 public:
  explicit Canonicalizer(const QString& partName) : m_partName(partName) {}
  bool run(pugi::xml_node root);
  bool strict() const { return m_strict; }
  const Error& error() const { return m_error; }

 private:
  bool visit(pugi::xml_node node);
  void pushDeclarations(pugi::xml_node node, std::vector<pugi::xml_attribute>* knownDecls);
  const Binding* lookup(std::string_view prefix) const;
  bool rename(std::string_view qname, bool isAttribute, std::string* out, const Binding** ns);
  std::string mapPrefix(std::string_view prefix) const;

  QString m_partName;
  std::vector<Binding> m_bindings;
  int m_fresh = 0;
  bool m_strict = false;
  Error m_error{Error::Code::BadXml, QString()};
};

}  // namespace

bool isDeclaration(std::string_view name, std::string* prefix) {
  if (name == "xmlns") {
    prefix->clear();
    return true;
  }
  if (name.substr(0, 6) == "xmlns:") {
    *prefix = std::string(name.substr(6));
    return true;
  }
  return false;
}

namespace {

void Canonicalizer::pushDeclarations(pugi::xml_node node,
                                     std::vector<pugi::xml_attribute>* knownDecls) {
  std::string prefix;
  std::vector<pugi::xml_attribute> renamed;
  for (pugi::xml_attribute attr : node.attributes()) {
    if (!isDeclaration(attr.name(), &prefix)) continue;
    Binding binding;
    binding.prefix = prefix;
    binding.uri = attr.value();
    bool isStrict = false;
    binding.known = findNamespace(attr.value(), &isStrict);
    binding.output = prefix;
    if (binding.known) {
      m_strict = m_strict || isStrict;
      knownDecls->push_back(attr);
    } else if (!prefix.empty() && findPrefix(prefix)) {
      // An unknown namespace under a canonical prefix would read as the known one.
      binding.output = prefix + kRenamedPrefixMark + "u" + std::to_string(++m_fresh);
      renamed.push_back(attr);
    }
    m_bindings.push_back(std::move(binding));
  }
  // The original stays beside the renamed one, for writing the part as it came.
  for (pugi::xml_attribute attr : renamed) {
    const std::string original = attr.name();
    isDeclaration(original.c_str(), &prefix);
    node.insert_attribute_after((kKeptDeclarationMark + original).c_str(), attr)
        .set_value(attr.value());
    attr.set_name(("xmlns:" + lookup(prefix)->output).c_str());
  }
}

const Binding* Canonicalizer::lookup(std::string_view prefix) const {
  for (auto it = m_bindings.rbegin(); it != m_bindings.rend(); ++it) {
    if (it->prefix == prefix) return &*it;
  }
  return nullptr;
}

bool Canonicalizer::rename(std::string_view qname, bool isAttribute, std::string* out,
                           const Binding** ns) {
  *ns = nullptr;
  const size_t colon = qname.find(':');
  if (colon == std::string_view::npos) {
    // Unprefixed attributes are in no namespace; unprefixed elements in the default one.
    const Binding* binding = isAttribute ? nullptr : lookup("");
    if (binding && binding->known) {
      *ns = binding;
      *out = std::string(binding->known->prefix) + ":" + std::string(qname);
      return true;
    }
    *ns = binding && !binding->uri.empty() ? binding : nullptr;
    *out = std::string(qname);
    return true;
  }
  const std::string_view prefix = qname.substr(0, colon);
  const std::string_view local = qname.substr(colon + 1);
  if (prefix == "xml") {
    *out = std::string(qname);
    return true;
  }
  const Binding* binding = lookup(prefix);
  if (!binding || (binding->uri.empty())) {
    m_error =
        Error{Error::Code::BadXml,
              QStringLiteral("%1: undeclared namespace prefix \"%2\"")
                  .arg(m_partName, QString::fromUtf8(prefix.data(), qsizetype(prefix.size())))};
    return false;
  }
  *ns = binding;
  *out = (binding->known ? std::string(binding->known->prefix) : binding->output) + ":" +
         std::string(local);
  return true;
}

std::string Canonicalizer::mapPrefix(std::string_view prefix) const {
  const Binding* binding = lookup(prefix);
  if (!binding || binding->prefix.empty()) return std::string(prefix);
  return binding->known ? binding->known->prefix : binding->output;
}

bool Canonicalizer::visit(pugi::xml_node node) {
  const size_t mark = m_bindings.size();
  std::vector<pugi::xml_attribute> knownDecls;
  pushDeclarations(node, &knownDecls);

  std::string name;
  const Binding* ns = nullptr;
  if (!rename(node.name(), false, &name, &ns)) return false;
  node.set_name(name.c_str());

  std::string prefix;
  for (pugi::xml_attribute attr : node.attributes()) {
    if (isDeclaration(attr.name(), &prefix) || attr.name()[0] == kKeptDeclarationMark) continue;
    std::string attrName;
    if (!rename(attr.name(), true, &attrName, &ns)) return false;
    attr.set_name(attrName.c_str());
    const PrefixValue kind = prefixValue(attrName, name, ns ? ns->uri : std::string());
    if (kind != PrefixValue::None) {
      const std::string value =
          mapValuePrefixes(attr.value(), kind, [this](std::string_view p) { return mapPrefix(p); });
      attr.set_value(value.c_str());
    }
  }
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_element && !visit(child)) return false;
  }
  // Kept in place under a name no reader asks for, for writing the part as it came.
  for (pugi::xml_attribute attr : knownDecls)
    attr.set_name((kKeptDeclarationMark + std::string(attr.name())).c_str());
  m_bindings.resize(mark);
  return true;
}

bool Canonicalizer::run(pugi::xml_node root) { return visit(root); }

}  // namespace

PrefixValue prefixValue(std::string_view attrName, std::string_view element,
                        std::string_view attrUri) {
  if (attrName == "mc:Ignorable" || attrName == "mc:ProcessContent" ||
      attrName == "mc:PreserveElements" || attrName == "mc:PreserveAttributes" ||
      attrName == "mc:MustUnderstand" || (attrName == "Requires" && element == "mc:Choice"))
    return PrefixValue::Tokens;
  const bool type = attrName.size() > 5 && attrName.substr(attrName.size() - 5) == ":type";
  return type && attrUri == kXsiNamespace ? PrefixValue::QualifiedName : PrefixValue::None;
}

std::string mapValuePrefixes(std::string_view value, PrefixValue kind,
                             const std::function<std::string(std::string_view)>& mapPrefix) {
  const auto one = [&mapPrefix](std::string_view token) {
    const size_t colon = token.find(':');
    std::string out = mapPrefix(token.substr(0, colon));
    if (colon != std::string_view::npos) out += token.substr(colon);
    return out;
  };
  if (kind != PrefixValue::Tokens) return one(value);
  std::string out;
  while (!value.empty()) {
    const size_t start = value.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) break;
    value = value.substr(start);
    const size_t end = std::min(value.find_first_of(" \t\r\n"), value.size());
    if (!out.empty()) out += ' ';
    out += one(value.substr(0, end));
    value = value.substr(end);
  }
  return out;
}

const std::vector<KnownNamespace>& knownNamespaces() {
  static const std::vector<KnownNamespace> known = {
      {"x", "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
       "http://purl.oclc.org/ooxml/spreadsheetml/main"},
      {"r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
       "http://purl.oclc.org/ooxml/officeDocument/relationships"},
      {"a", "http://schemas.openxmlformats.org/drawingml/2006/main",
       "http://purl.oclc.org/ooxml/drawingml/main"},
      {"c", "http://schemas.openxmlformats.org/drawingml/2006/chart",
       "http://purl.oclc.org/ooxml/drawingml/chart"},
      {"xdr", "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing",
       "http://purl.oclc.org/ooxml/drawingml/spreadsheetDrawing"},
      {"cdr", "http://schemas.openxmlformats.org/drawingml/2006/chartDrawing",
       "http://purl.oclc.org/ooxml/drawingml/chartDrawing"},
      {"pic", "http://schemas.openxmlformats.org/drawingml/2006/picture",
       "http://purl.oclc.org/ooxml/drawingml/picture"},
      {"p", "http://schemas.openxmlformats.org/presentationml/2006/main",
       "http://purl.oclc.org/ooxml/presentationml/main"},
      {"pr", "http://schemas.openxmlformats.org/package/2006/relationships",
       "http://schemas.openxmlformats.org/package/2006/relationships"},
      {"ct", "http://schemas.openxmlformats.org/package/2006/content-types",
       "http://schemas.openxmlformats.org/package/2006/content-types"},
      {"mc", "http://schemas.openxmlformats.org/markup-compatibility/2006",
       "http://schemas.openxmlformats.org/markup-compatibility/2006"},
      {"cp", "http://schemas.openxmlformats.org/package/2006/metadata/core-properties",
       "http://schemas.openxmlformats.org/package/2006/metadata/core-properties"},
      {"dc", "http://purl.org/dc/elements/1.1/", "http://purl.org/dc/elements/1.1/"},
      {"dcterms", "http://purl.org/dc/terms/", "http://purl.org/dc/terms/"},
  };
  return known;
}

const KnownNamespace* findNamespace(const char* uri, bool* isStrict) {
  for (const KnownNamespace& ns : knownNamespaces()) {
    if (std::strcmp(uri, ns.transitional) == 0) {
      *isStrict = false;
      return &ns;
    }
    if (std::strcmp(uri, ns.strict) == 0) {
      *isStrict = true;
      return &ns;
    }
  }
  return nullptr;
}

const KnownNamespace* findPrefix(const std::string& prefix) {
  for (const KnownNamespace& ns : knownNamespaces()) {
    if (prefix == ns.prefix) return &ns;
  }
  return nullptr;
}

Result<bool> canonicalizeNamespaces(pugi::xml_document& doc, const QString& partName) {
  pugi::xml_node root = doc.document_element();
  Canonicalizer pass(partName);
  if (!pass.run(root)) return pass.error();
  declareCanonicalPrefixes(root, pass.strict());
  return pass.strict();
}

namespace {

// `last` is the prefix noted just before: a part's millions of cells repeat one prefix, and
// comparing with it costs less than a lookup.
void collectPrefixes(pugi::xml_node node, std::set<std::string>* used, std::string* last) {
  auto note = [used, last](const char* name) {
    const char* colon = std::strchr(name, ':');
    if (!colon) return;
    const std::string_view prefix(name, size_t(colon - name));
    if (prefix == *last) return;
    last->assign(prefix);
    if (prefix != "xmlns" && findPrefix(*last)) used->insert(*last);
  };
  note(node.name());
  for (pugi::xml_attribute attr : node.attributes()) note(attr.name());
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_element) collectPrefixes(child, used, last);
  }
}

}  // namespace

void declareCanonicalPrefixes(pugi::xml_node root, bool strict) {
  std::set<std::string> used;
  std::string last;
  collectPrefixes(root, &used, &last);
  std::vector<pugi::xml_attribute> stale;
  for (pugi::xml_attribute attr : root.attributes()) {
    std::string prefix;
    if (isDeclaration(attr.name(), &prefix) && !prefix.empty() && findPrefix(prefix))
      stale.push_back(attr);
  }
  for (const pugi::xml_attribute& attr : stale) root.remove_attribute(attr);
  // Prepended in reverse so the root lists them in table order.
  const auto& known = knownNamespaces();
  for (auto it = known.rbegin(); it != known.rend(); ++it) {
    if (!used.count(it->prefix)) continue;
    const std::string name = std::string("xmlns:") + it->prefix;
    root.prepend_attribute(name.c_str()).set_value(strict ? it->strict : it->transitional);
  }
}

}  // namespace morvane::ooxml::detail
