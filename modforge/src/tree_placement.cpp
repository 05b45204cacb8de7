// Where each definition goes in the tree. A parent name means, in this
// order: the current module's own definition of it, the definition in the
// module it is imported from, a root (ccitt, iso, joint-iso-ccitt). A name
// that is none of these yet may be defined further down the module (SMI
// allows any order), so the definition waits and is placed as soon as its
// parent is; what still waits at the end of the module takes a parent of
// that name from any module (with a warning) or is dropped with the
// "Parent not FOUND" warning.
#include "parser.h"

#include "modforge/messages.h"

namespace modforge {

void Parser::beginModule(const std::string& module) {
  module_ = module;
  imports_.clear();
  rootOidNoted_ = false;
}

void Parser::noteImport(const std::string& symbol, const std::string& module) { imports_.emplace(symbol, module); }

void Parser::place(const std::string& name, Definition&& definition, OidValue&& value) {
  Node* parent = nullptr;
  if (!value.parentName.empty()) {
    parent = parentOf(value.parentName);
    if (!parent) {
      waitingFor_[value.parentName].push_back(waiting_.size());
      ++namesToCome_[name];
      for (const OidValue::Step& step : value.steps) {
        if (!step.label.empty()) ++namesToCome_[step.label];
      }
      waiting_.push_back({name, std::move(definition), std::move(value)});
      return;
    }
  } else if (!value.parentNumbers.empty()) {
    parent = parentByNumbers(value, name);
    if (!parent) return;
  }
  placeUnder(parent, name, std::move(definition), value);
}

// Makes the nodes on the way below `parent` (null: the top level), then
// the definition's own node.
void Parser::placeUnder(Node* parent, const std::string& name, Definition&& definition, const OidValue& value) {
  for (const OidValue::Step& step : value.steps) {
    parent = nodeOnTheWay(parent, step, value.line);
    if (!parent) return;
  }
  if (value.own) attach(name, parent, *value.own, std::move(definition), value.line);
}

Node* Parser::parentOf(const std::string& parentName) {
  MibTree& tree = compiler_.tree();
  if (Node* own = tree.findInModule(module_, parentName)) return own;
  if (auto imported = imports_.find(parentName); imported != imports_.end()) {
    if (Node* node = tree.findInModule(imported->second, parentName)) return node;
  }
  return tree.rootByName(parentName, module_);
}

// The node the leading numbers spell. The first names a root, made when
// missing; the nodes between it and the parent are made unnamed.
Node* Parser::parentByNumbers(const OidValue& value, const std::string& name) {
  MibTree& tree = compiler_.tree();
  const std::vector<uint32_t>& numbers = value.parentNumbers;
  Node* parent = tree.findByOid(numbers);
  if (!parent) {
    parent = tree.findByOid({numbers[0]});
    if (!parent) parent = tree.rootByNumber(numbers[0], module_);
    for (size_t i = 1; parent && i < numbers.size(); ++i) parent = nodeOnTheWay(parent, {"", numbers[i]}, value.line);
  }
  if (!parent) {
    std::string text = oidText(numbers);
    warn(1, "WARNING! Parent not FOUND !\t(" + text + " <- " + name + ")");
  }
  return parent;
}

// The node of one step below `parent`: the existing node of that OID, or a
// new one, named by the step or unnamed. A named step gives its name to an
// unnamed node; a node that has another name keeps it (with the warning
// for two names of one OID) and the value goes on through it.
Node* Parser::nodeOnTheWay(Node* parent, const OidValue::Step& step, int line) {
  Oid oid = parent ? parent->oid : Oid{};
  oid.push_back(step.number);
  MibTree& tree = compiler_.tree();
  Node* node = tree.findByOid(oid);
  if (!node) return attach(step.label, parent, step.number, Definition{}, line);
  if (step.label.empty() || step.label == node->name) return node;
  if (node->name.empty()) {
    tree.name(node, step.label, module_);
    nameBecameKnown(step.label);
    return node;
  }
  warn(2, "WARNING! Two nodes has same OID value (" + node->name + " (module: " + node->module + "), " + step.label +
              " (module: " + module_ + ") " + ")." + " Using from " + node->module + " module.");
  tree.addAlias(module_, step.label, node);
  nameBecameKnown(step.label);
  return node;
}

// A node for `name` (empty: unnamed) at the parent's OID and the number.
// An unnamed node there is taken over; a named one stays, and `name` of
// this module then stands for it.
Node* Parser::attach(const std::string& name, Node* parent, uint32_t subidentifier, Definition&& definition, int line) {
  Oid oid = parent ? parent->oid : Oid{};
  oid.push_back(subidentifier);
  if (oid.size() > kLongestOid) {
    lexer_.reportErrorAt(line, kOidTooLong, name.empty() ? oidText(oid) : name);
    return nullptr;
  }
  MibTree& tree = compiler_.tree();
  Node* existing = nullptr;
  Node* node = tree.insert(name, module_, oid, &existing);
  if (!node && existing && existing->name.empty() && !name.empty()) {
    tree.name(existing, name, module_);
    node = existing;
  } else if (!node) {
    if (existing && !name.empty()) {
      warn(2, "WARNING! Two nodes has same OID value (" + existing->name + " (module: " + existing->module + "), " +
                  name + " (module: " + module_ + ") " + ")." + " Using from " + existing->module + " module.");
      tree.addAlias(module_, name, existing);
      nameBecameKnown(name);
    }
    return existing;
  }
  node->definition = std::move(definition);
  if (!rootOidNoted_) {
    KnownModule& known = compiler_.modules().entry(module_);
    if (known.rootOid == "None") known.rootOid = oidText(node->oid);
    rootOidNoted_ = true;
  }
  if (!name.empty()) nameBecameKnown(name);
  return node;
}

// Places what waits for `name`, and then what waits for the names those
// give, without recursion however long the chain.
void Parser::nameBecameKnown(const std::string& name) {
  if (waitingFor_.empty()) return;
  namesKnownNow_.push_back(name);
  if (placingWaiting_) return;
  placingWaiting_ = true;
  while (!namesKnownNow_.empty()) {
    std::string known = std::move(namesKnownNow_.back());
    namesKnownNow_.pop_back();
    placeWaitingFor(known);
  }
  placingWaiting_ = false;
}

void Parser::placeWaitingFor(const std::string& name) {
  auto found = waitingFor_.find(name);
  if (found == waitingFor_.end()) return;
  Node* parent = parentOf(name);
  if (!parent) return;
  std::vector<size_t> indexes = std::move(found->second);
  waitingFor_.erase(found);
  for (size_t index : indexes) {
    Waiting& waiting = waiting_[index];
    waiting.placed = true;
    --namesToCome_[waiting.name];
    for (const OidValue::Step& step : waiting.value.steps) {
      if (!step.label.empty()) --namesToCome_[step.label];
    }
    placeUnder(parent, waiting.name, std::move(waiting.definition), waiting.value);
  }
}

// Whether the parent a definition waits for is a name that another waiting
// definition of this module will give.
bool Parser::waitsForAnotherDefinition(const Waiting& waiting) const {
  auto found = namesToCome_.find(waiting.value.parentName);
  return found != namesToCome_.end() && found->second > 0;
}

// At the end of the module: a parent name this module neither defines nor
// imports is taken from any module that defines it.
void Parser::placeWithParentFromElsewhere() {
  for (bool placedSome = true; placedSome;) {
    placedSome = false;
    for (Waiting& waiting : waiting_) {
      if (waiting.placed || waitsForAnotherDefinition(waiting)) continue;
      const std::string& parentName = waiting.value.parentName;
      Node* parent = compiler_.tree().findByName(parentName);
      if (!parent) continue;
      warn(2, "WARNING! Parent neither defined nor imported !\t(" + parentName + " <- " + waiting.name +
                  "). Using from " + parent->module + " module.");
      compiler_.tree().addAlias(module_, parentName, parent);
      nameBecameKnown(parentName);
      placedSome = true;
    }
  }
}

void Parser::endModule() {
  placeWithParentFromElsewhere();
  for (const Waiting& waiting : waiting_) {
    if (!waiting.placed) warn(1, "WARNING! Parent not FOUND !\t(" + waiting.value.parentName + " <- " + waiting.name + ")");
  }
  waiting_.clear();
  waitingFor_.clear();
  namesToCome_.clear();
  namesKnownNow_.clear();
}

}  // namespace modforge
