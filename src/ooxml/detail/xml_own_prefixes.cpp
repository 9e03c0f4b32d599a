// restoreOwnPrefixes: a canonical document written back with the prefixes and namespace
// declarations it was read with, so a rewritten part differs from its producer's only where
// it was edited.
#include <algorithm>

#include "ooxml/detail/xml_namespaces.h"

namespace morvane::ooxml::detail {

namespace {

struct OutBinding {
  std::string prefix;  // "" for the default namespace
  std::string uri;
};

bool sameNamespace(const std::string& a, const std::string& b) {
  if (a == b) return true;
  bool strict = false;
  const KnownNamespace* known = findNamespace(a.c_str(), &strict);
  return known && known == findNamespace(b.c_str(), &strict);
}

std::string spelled(const std::string& uri, bool strict) {
  bool isStrict = false;
  const KnownNamespace* known = findNamespace(uri.c_str(), &isStrict);
  return known ? (strict ? known->strict : known->transitional) : uri;
}

// Declares `binding` on `node` after its other declarations, or first when it has none.
void declare(pugi::xml_node node, const OutBinding& binding) {
  pugi::xml_attribute after;
  std::string prefix;
  for (pugi::xml_attribute attr : node.attributes())
    if (isDeclaration(attr.name(), &prefix)) after = attr;
  const std::string name = "xmlns:" + binding.prefix;
  pugi::xml_attribute attr = after ? node.insert_attribute_after(name.c_str(), after)
                                   : node.prepend_attribute(name.c_str());
  attr.set_value(binding.uri.c_str());
}

// Walks the tree with two scopes: the declarations the written document has in force
// (m_out), and those of unknown namespaces the document has in memory (m_memory).
class PrefixRestorer {
 public:
  PrefixRestorer(pugi::xml_node root, bool strict) : m_root(root), m_strict(strict) {}
  void run() {
    visit(m_root);
    declareOnRoot();
  }

 private:
  void visit(pugi::xml_node node);
  void takeDeclarations(pugi::xml_node node);
  std::string memoryUri(std::string_view prefix) const;
  std::string outputPrefix(std::string_view memoryPrefix, bool needsPrefix, pugi::xml_node node);
  std::string outputName(const char* name, bool isAttribute, pugi::xml_node node);
  bool usable(const OutBinding& binding, size_t innerFrom, const std::string& uri,
              bool needsPrefix) const;
  bool boundInScope(const std::string& prefix) const;
  void declareOnRoot();

  pugi::xml_node m_root;
  bool m_strict;
  std::vector<OutBinding> m_out;
  std::vector<OutBinding> m_memory;
  std::vector<OutBinding> m_rootAdded;  // declared on the root once the walk is done
};

void PrefixRestorer::takeDeclarations(pugi::xml_node node) {
  std::vector<pugi::xml_attribute> dropped;
  std::string prefix;
  for (pugi::xml_attribute attr : node.attributes()) {
    const std::string name = attr.name();
    if (name[0] == kKeptDeclarationMark && isDeclaration(name.substr(1), &prefix)) {
      const std::string uri = spelled(attr.value(), m_strict);
      attr.set_name(name.c_str() + 1);
      attr.set_value(uri.c_str());
      m_out.push_back({prefix, uri});
    } else if (isDeclaration(name, &prefix)) {
      bool strict = false;
      const KnownNamespace* known = findNamespace(attr.value(), &strict);
      if (prefix.find(kRenamedPrefixMark) != std::string::npos) {
        m_memory.push_back({prefix, attr.value()});
        dropped.push_back(attr);  // its original is kept beside it
      } else if (known && prefix == known->prefix) {
        dropped.push_back(attr);  // the canonical pass's own
      } else {
        m_memory.push_back({prefix, attr.value()});
        m_out.push_back({prefix, attr.value()});
      }
    }
  }
  for (const pugi::xml_attribute& attr : dropped) node.remove_attribute(attr);
}

std::string PrefixRestorer::memoryUri(std::string_view prefix) const {
  // In memory a canonical prefix always names its known namespace.
  if (const KnownNamespace* known = findPrefix(std::string(prefix)))
    return m_strict ? known->strict : known->transitional;
  for (auto it = m_memory.rbegin(); it != m_memory.rend(); ++it)
    if (it->prefix == prefix) return it->uri;
  return std::string();
}

// `binding` (at index innerFrom - 1 of m_out, or on the root when added) names `uri` where
// the walk stands: no binding nearer in scope reuses its prefix.
bool PrefixRestorer::usable(const OutBinding& binding, size_t innerFrom, const std::string& uri,
                            bool needsPrefix) const {
  if ((needsPrefix && binding.prefix.empty()) || !sameNamespace(binding.uri, uri)) return false;
  return std::none_of(m_out.begin() + std::ptrdiff_t(innerFrom), m_out.end(),
                      [&](const OutBinding& b) { return b.prefix == binding.prefix; });
}

bool PrefixRestorer::boundInScope(const std::string& prefix) const {
  const auto same = [&](const OutBinding& b) { return b.prefix == prefix; };
  return std::any_of(m_out.begin(), m_out.end(), same) ||
         std::any_of(m_rootAdded.begin(), m_rootAdded.end(), same);
}

std::string PrefixRestorer::outputPrefix(std::string_view memoryPrefix, bool needsPrefix,
                                         pugi::xml_node node) {
  const std::string uri = memoryUri(memoryPrefix);
  if (uri.empty()) return std::string(memoryPrefix);
  for (size_t i = m_out.size(); i-- > 0;)
    if (usable(m_out[i], i + 1, uri, needsPrefix)) return m_out[i].prefix;
  for (const OutBinding& added : m_rootAdded)
    if (usable(added, 0, uri, needsPrefix)) return added.prefix;
  // Not declared where it is used: the canonical prefix, or the renamed one made valid.
  std::string fresh(memoryPrefix);
  std::replace(fresh.begin(), fresh.end(), kRenamedPrefixMark, '.');
  if (!boundInScope(fresh)) {
    m_rootAdded.push_back({fresh, uri});
  } else {
    m_out.push_back({fresh, uri});
    declare(node, m_out.back());
  }
  return fresh;
}

std::string PrefixRestorer::outputName(const char* name, bool isAttribute, pugi::xml_node node) {
  const std::string_view qname(name);
  const size_t colon = qname.find(':');
  if (colon == std::string_view::npos || qname.substr(0, colon) == "xml") return name;
  const std::string prefix = outputPrefix(qname.substr(0, colon), isAttribute, node);
  const std::string_view local = qname.substr(colon + 1);
  return prefix.empty() ? std::string(local) : prefix + ":" + std::string(local);
}

void PrefixRestorer::visit(pugi::xml_node node) {
  const size_t outMark = m_out.size();
  const size_t memoryMark = m_memory.size();
  takeDeclarations(node);
  const std::string element = node.name();
  std::vector<pugi::xml_attribute> attributes;
  std::string prefix;
  for (pugi::xml_attribute attr : node.attributes())
    if (!isDeclaration(attr.name(), &prefix)) attributes.push_back(attr);
  node.set_name(outputName(element.c_str(), false, node).c_str());
  for (pugi::xml_attribute attr : attributes) {
    const std::string name = attr.name();
    const size_t colon = name.find(':');
    const std::string uri =
        colon == std::string::npos ? std::string() : memoryUri(name.substr(0, colon));
    const PrefixValue kind = prefixValue(name, element, uri);
    if (kind != PrefixValue::None) {
      const std::string value = mapValuePrefixes(attr.value(), kind, [&](std::string_view p) {
        return memoryUri(p).empty() ? std::string(p) : outputPrefix(p, true, node);
      });
      attr.set_value(value.c_str());
    }
    attr.set_name(outputName(name.c_str(), true, node).c_str());
  }
  for (pugi::xml_node child : node.children())
    if (child.type() == pugi::node_element) visit(child);
  m_out.resize(outMark);
  m_memory.resize(memoryMark);
}

size_t declarationOrder(const std::string& prefix) {
  const auto& known = knownNamespaces();
  for (size_t i = 0; i < known.size(); ++i)
    if (prefix == known[i].prefix) return i;
  return known.size();
}

void PrefixRestorer::declareOnRoot() {
  std::stable_sort(m_rootAdded.begin(), m_rootAdded.end(), [](const auto& a, const auto& b) {
    return declarationOrder(a.prefix) < declarationOrder(b.prefix);
  });
  for (const OutBinding& added : m_rootAdded) declare(m_root, added);
}

}  // namespace

void restoreOwnPrefixes(pugi::xml_node root, bool strict) {
  if (root) PrefixRestorer(root, strict).run();
}

}  // namespace morvane::ooxml::detail
