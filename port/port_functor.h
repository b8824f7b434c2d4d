#pragma once
// The callbacks through which a port hands on what it receives: a callable object with a
// result and two arguments, and its binding to a member operation of an object.

#include "platform/win_types.h"

template <class R, class A1, class A2>
class CPortFunctor2 {
public:
    virtual ~CPortFunctor2() = default;
    virtual R operator()(A1 a1, A2 a2) = 0;
};

template <class T, class R, class A1, class A2>
class TSpecificPortFunctor2 final : public CPortFunctor2<R, A1, A2> {
public:
    using Member = R (T::*)(A1, A2);
    TSpecificPortFunctor2(T* object, Member member) : m_object(object), m_member(member) {}
    R operator()(A1 a1, A2 a2) override { return (m_object->*m_member)(a1, a2); }

private:
    T* m_object;
    Member m_member;
};

// Received bytes (pointer, count) and line events (event bits, error code).
using CDataCallback = CPortFunctor2<bool, const BYTE*, DWORD>;
using CEventCallback = CPortFunctor2<bool, DWORD, DWORD>;
