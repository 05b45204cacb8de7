// CPtrList: a doubly linked list of nodes from a private heap of their own.
#include "udpwire/ptr_list.h"

#include "class_register.h"

namespace {

constexpr DWORD kLiveList = 0x78901234;
constexpr DWORD kLiveNode = 0x89012345;

platform::CountedHeap nodeHeap;

}  // namespace

struct CPtrList::Node {
  Node* previous;
  Node* next;
  void* item;
  DWORD marker;
};

HTREE CPtrList::gc_hTreeCPtrList = nullptr;
UDPWIRE_CLASS_HEAP_DEFINE(CPtrList)

static udpwire::ClassRegister listRegister() {
  return {CPtrList::gc_hTreeCPtrList, CPtrList::gc_AllocCs, CPtrList::gc_uNumAllocsInHeap};
}

CPtrList::CPtrList(void* owner)
    : m_self(this), m_owner(owner), m_head(nullptr), m_tail(nullptr), m_count(0), m_marker(kLiveList) {
  InitializeCriticalSection(&m_lock);
  udpwire::registerInstance(listRegister(), this);
}

CPtrList::~CPtrList() {
  m_marker = 0;
  while (m_head.load()) RemoveHead();
  DeleteCriticalSection(&m_lock);
  udpwire::unregisterInstance(listRegister(), this);
}

CPtrList& CPtrList::operator=(const CPtrList& other) {
  if (this == &other) return *this;
  while (m_head.load()) RemoveHead();
  m_owner = other.m_owner;
  platform::CriticalSectionGuard guard(const_cast<CPtrList&>(other).m_lock);
  for (Node* node = other.m_head.load(); node; node = node->next)
    if (!AddTail(node->item)) break;
  return *this;
}

bool CPtrList::AddTail(void* item) {
  Node* node = nodeHeap.make<Node>(Node{nullptr, nullptr, item, kLiveNode});
  if (!node) return false;
  platform::CriticalSectionGuard guard(m_lock);
  node->previous = m_tail;
  if (m_tail) m_tail->next = node;
  else m_head = node;
  m_tail = node;
  m_count += 1;
  return true;
}

void* CPtrList::RemoveHead() {
  platform::CriticalSectionGuard guard(m_lock);
  Node* node = m_head;
  if (!node) return nullptr;
  m_head = node->next;
  if (node->next) node->next->previous = nullptr;
  else m_tail = nullptr;
  m_count -= 1;
  void* item = node->item;
  node->marker = 0;
  nodeHeap.release(node);
  return item;
}

void* CPtrList::GetHead() {
  platform::CriticalSectionGuard guard(m_lock);
  Node* node = m_head;
  return node ? node->item : nullptr;
}

bool CPtrList::IsEmpty() const { return m_head.load(std::memory_order_acquire) == nullptr; }

int CPtrList::GetCount() const { return m_count.load(std::memory_order_acquire); }
