<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>orlun_login::GestureDialog</name>
    <message>
        <source>Gesture password</source>
        <translation>手势密码</translation>
    </message>
    <message>
        <source>Set the gesture password of %1</source>
        <translation>设置 %1 的手势密码</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message numerus="yes">
        <source>Connect at least %n dots</source>
        <translation>
            <numerusform>请至少连接 %n 个点</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Connect at least %n dots, please draw again</source>
        <translation>
            <numerusform>请至少连接 %n 个点，请重新绘制</numerusform>
        </translation>
    </message>
    <message>
        <source>Draw the pattern again to confirm</source>
        <translation>请再次绘制图案以确认</translation>
    </message>
    <message>
        <source>The two patterns do not match, please draw again</source>
        <translation>两次图案不一致，请重新绘制</translation>
    </message>
</context>
</TS>
