<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>QObject</name>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Video Preview</source>
        <translation>视频预览</translation>
    </message>
    <message>
        <source>Video Playback</source>
        <translation>视频回放</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>抓图</translation>
    </message>
    <message>
        <source>Local Record</source>
        <translation>本地录像</translation>
    </message>
    <message>
        <source>Download Recording</source>
        <translation>录像下载</translation>
    </message>
    <message>
        <source>Turning Plan</source>
        <translation>轮巡计划</translation>
    </message>
    <message>
        <source>Local View</source>
        <translation>本地视图</translation>
    </message>
    <message>
        <source>Talk/Speak</source>
        <translation>对讲/喊话</translation>
    </message>
    <message>
        <source>Audio Monitor</source>
        <translation>音频监听</translation>
    </message>
    <message>
        <source>PTZ Control</source>
        <translation>云台控制</translation>
    </message>
    <message>
        <source>Log</source>
        <translation>日志</translation>
    </message>
    <message>
        <source>TV</source>
        <translation>电视墙</translation>
    </message>
    <message>
        <source>Person Management</source>
        <translation>人员管理</translation>
    </message>
    <message>
        <source>Attendance Management</source>
        <translation>考勤管理</translation>
    </message>
    <message>
        <source>Alarm Center</source>
        <translation>报警中心</translation>
    </message>
    <message>
        <source>Alarm Configure</source>
        <translation>报警配置</translation>
    </message>
    <message>
        <source>E-Map</source>
        <translation>电子地图</translation>
    </message>
    <message>
        <source>Parking</source>
        <translation>停车场</translation>
    </message>
    <message>
        <source>Access Control</source>
        <translation>门禁</translation>
    </message>
    <message>
        <source>Data Chart</source>
        <translation>数据图表</translation>
    </message>
    <message>
        <source>Temperature Measure</source>
        <translation>测温</translation>
    </message>
    <message>
        <source>License Plate Recognition</source>
        <translation>车牌识别</translation>
    </message>
    <message>
        <source>Face Recognition</source>
        <translation>人脸识别</translation>
    </message>
    <message>
        <source>Whether to reuse the data of the current account?</source>
        <translation>是否复用当前账户的数据？</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>User password strength is too weak</source>
        <translation>用户密码强度太弱</translation>
    </message>
    <message>
        <source>User name can not be empty</source>
        <translation>用户名不能为空</translation>
    </message>
    <message>
        <source>User name has been exist</source>
        <translation>用户名已存在</translation>
    </message>
    <message>
        <source>Failed to save channel power</source>
        <translation>保存通道权限失败</translation>
    </message>
    <message>
        <source>Failed to add user</source>
        <translation>添加用户失败</translation>
    </message>
    <message>
        <source>Failed to edit user</source>
        <translation>编辑用户失败</translation>
    </message>
    <message>
        <source>Do you want to cancel user creation?</source>
        <translation>是否取消创建用户？</translation>
    </message>
    <message>
        <source>Do you want to cancel user editing?</source>
        <translation>是否取消编辑用户？</translation>
    </message>
    <message>
        <source>Please select user to delete</source>
        <translation>请选择要删除的用户</translation>
    </message>
    <message>
        <source>Do you want to delete user:%1?</source>
        <translation>是否删除用户：%1？</translation>
    </message>
    <message>
        <source>Failed to delete user</source>
        <translation>删除用户失败</translation>
    </message>
    <message>
        <source>Remove gesture password</source>
        <translation>删除手势密码</translation>
    </message>
    <message>
        <source>Add gesture pasword</source>
        <translation>添加手势密码</translation>
    </message>
    <message>
        <source>Add the user&apos;s gesture password success</source>
        <translation>添加用户手势密码成功</translation>
    </message>
    <message>
        <source>Do you want to remove the user&apos;s gesture password?</source>
        <translation>是否删除该用户的手势密码？</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::ChannelPowerTable</name>
    <message>
        <source>ChannelPowerTable</source>
        <translation>已选通道表</translation>
    </message>
    <message>
        <source>Selected Channels</source>
        <translation>已选通道</translation>
    </message>
    <message>
        <source>Remove Channels</source>
        <translation>移除通道</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Channel Name</source>
        <translation>通道名称</translation>
    </message>
    <message>
        <source>Dev Sn / Brand</source>
        <translation>设备序列号 / 品牌</translation>
    </message>
    <message>
        <source>Ip</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>Channel Index</source>
        <translation>通道号</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>Operation</source>
        <translation>操作</translation>
    </message>
    <message>
        <source>Search selected channels</source>
        <translation>搜索已选通道</translation>
    </message>
    <message>
        <source>Channel groups granted, with the number of channels in each</source>
        <translation>已授权的通道分组及各组通道数</translation>
    </message>
    <message>
        <source>Channels: %1</source>
        <translation>通道：%1</translation>
    </message>
    <message>
        <source>Groups: %1</source>
        <translation>分组：%1</translation>
    </message>
    <message>
        <source>Please select channels to delete</source>
        <translation>请选择要删除的通道</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::ChannelPowerTree</name>
    <message>
        <source>ChannelPowerTree</source>
        <translation>通道权限树</translation>
    </message>
    <message>
        <source>Channel Power</source>
        <translation>通道权限</translation>
    </message>
    <message>
        <source>Search channels</source>
        <translation>搜索通道</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::FunctionPowerList</name>
    <message>
        <source>FunctionPowerList</source>
        <translation>功能权限列表</translation>
    </message>
    <message>
        <source>Function Power</source>
        <translation>功能权限</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::InputRefusalTip</name>
    <message numerus="yes">
        <source>At most %n characters</source>
        <translation>
            <numerusform>最多 %n 个字符</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::UserItem</name>
    <message>
        <source>UserItem</source>
        <translation>用户项</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>文本标签</translation>
    </message>
    <message>
        <source>edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>delete</source>
        <translation>删除</translation>
    </message>
</context>
<context>
    <name>orlun_userMgr::UserMgrForm</name>
    <message>
        <source>UserMgrForm</source>
        <translation>用户管理界面</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>User Password</source>
        <translation>用户密码</translation>
    </message>
    <message>
        <source>User Describe</source>
        <translation>用户描述</translation>
    </message>
    <message>
        <source>User Power</source>
        <translation>用户权限</translation>
    </message>
    <message>
        <source>(User name consists of numbers, uppercase letters and lowercase letters)</source>
        <translation>（用户名由数字、大写字母和小写字母组成）</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Only letters and digits</source>
        <translation>只能输入字母和数字</translation>
    </message>
    <message>
        <source>No spaces in a password</source>
        <translation>密码中不能有空格</translation>
    </message>
    <message>
        <source>The new account has not been added. Add it before closing?</source>
        <translation>新账户尚未添加。关闭前是否添加？</translation>
    </message>
    <message>
        <source>The account&apos;s changes have not been saved. Save them before closing?</source>
        <translation>账户的修改尚未保存。关闭前是否保存？</translation>
    </message>
    <message>
        <source>Add user</source>
        <translation>添加用户</translation>
    </message>
    <message>
        <source>Delete user</source>
        <translation>删除用户</translation>
    </message>
    <message>
        <source>Search users</source>
        <translation>搜索用户</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>用户</translation>
    </message>
</context>
</TS>
